// The mode message family, the mode byte table and the device id table.
#include "model/ModeMessage.h"

#include <gtest/gtest.h>

namespace
{
std::string hexOf (const juce::MidiMessage& message) { return juce::String::toHexString (message.getRawData(), message.getRawDataSize()).toUpperCase().toStdString(); }
} // namespace

// Mode byte 0x07 is user-defined, 0x7F the upgrade mode; id bytes stay data bytes for any code.
TEST (ModeMessage, DeviceIdOfEveryFamilyAndTheMessageBytes)
{
    const std::pair<int, int> codeToId[] = { { 110, 110 }, { 111, 110 }, { 114, 110 }, { 126, 110 }, { 176, 176 }, { 177, 176 },
                                             { 79, 79 },   { 89, 79 },   { 0, 0 },     { 115, 115 }, { 127, 127 }, { 178, 178 } };
    for (const auto& [code, id] : codeToId)
        EXPECT_EQ (zevo::deviceIdForProduct (code), id) << code;

    EXPECT_EQ (hexOf (zevo::makeModeMessage (177, zevo::ModeByte::enterUpgradeMode)), "F0 1D 03 01 30 00 7F 7F F7");
    EXPECT_EQ (hexOf (zevo::makeModeMessage (-1, zevo::ModeByte::mackie)), "F0 1D 03 7F 7F 00 01 7F F7");
    EXPECT_EQ (hexOf (zevo::makeCompanionMessage (101)), "F0 1D 03 00 65 55 7F F7");
    for (int code = 95; code <= 110; ++code)
        EXPECT_EQ (zevo::needsCompanionMessage (code), code >= 101 && code <= 104) << code;
}

// The upload refuses a mode without a table before it asks for a byte, so
// only this sees the table's guard at both ends.
TEST (ModeMessage, ModeByteOfEachControlModeAndNoneOutsideTheTable)
{
    const std::optional<uint8_t> modeBytes[] = { std::nullopt, 0x01, 0x03, 0x06, 0x07, std::nullopt, std::nullopt };
    for (int mode = -1; mode <= 5; ++mode)
        EXPECT_EQ (zevo::modeByteForControlMode (mode), modeBytes[mode + 1]) << mode;
}
