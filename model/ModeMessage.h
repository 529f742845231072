// The System Exclusive messages that address one of the maker's units by its
// device id: the mode message, which gives the unit a mode (a control mode,
// or upgrade mode), and its companion, which some units need before they
// enter upgrade mode.
#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <cstdint>
#include <optional>

namespace zevo
{
/** Mode bytes of the mode message. */
namespace ModeByte
{
constexpr uint8_t mackie = 0x01;
constexpr uint8_t logic = 0x03;
constexpr uint8_t proTools = 0x06;
constexpr uint8_t userDefined = 0x07;
constexpr uint8_t enterUpgradeMode = 0x7F;
} // namespace ModeByte

/** The mode byte of a control mode; none for a mode without a table (4 and up). */
std::optional<uint8_t> modeByteForControlMode (int ctMode) noexcept;

/** Product codes that share one id: a family answers to the id of its first member. */
int deviceIdForProduct (int productCode) noexcept;

/** F0 1D 03 idHi idLo 00 mode 7F F7. */
juce::MidiMessage makeModeMessage (int productCode, uint8_t modeByte);

/** F0 1D 03 idHi idLo 55 7F F7: one byte shorter than the mode message. */
juce::MidiMessage makeCompanionMessage (int productCode);

/** Whether the upgrader sends the companion message to this product. */
bool needsCompanionMessage (int productCode) noexcept;
} // namespace zevo
