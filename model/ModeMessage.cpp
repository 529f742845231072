#include "ModeMessage.h"

namespace zevo
{
namespace
{
constexpr uint8_t sysexStart = 0xF0;
constexpr uint8_t sysexEnd = 0xF7;
constexpr uint8_t manufacturer = 0x1D;
constexpr uint8_t fixedByte = 0x03;

// A device id travels as two 7-bit bytes. Ids are small product codes, but
// keep every byte a data byte whatever the code.
uint8_t idHi (int deviceId) noexcept { return (uint8_t) ((deviceId >> 7) & 0x7F); }
uint8_t idLo (int deviceId) noexcept { return (uint8_t) (deviceId & 0x7F); }
} // namespace

std::optional<uint8_t> modeByteForControlMode (int ctMode) noexcept
{
    static constexpr uint8_t bytes[] = { ModeByte::mackie, ModeByte::logic, ModeByte::proTools, ModeByte::userDefined };
    if (ctMode < 0 || ctMode >= (int) std::size (bytes))
        return std::nullopt;
    return bytes[ctMode];
}

int deviceIdForProduct (int productCode) noexcept
{
    switch (productCode)
    {
        case 110: case 111: case 112: case 113: case 114: case 126: return 110;
        case 176: case 177: return 176;
        case 79: case 89: return 79;
        default: return productCode;
    }
}

juce::MidiMessage makeModeMessage (int productCode, uint8_t modeByte)
{
    const int id = deviceIdForProduct (productCode);
    const uint8_t bytes[] = { sysexStart, manufacturer, fixedByte, idHi (id), idLo (id), 0x00, modeByte, 0x7F, sysexEnd };
    return juce::MidiMessage (bytes, (int) sizeof (bytes));
}

juce::MidiMessage makeCompanionMessage (int productCode)
{
    const int id = deviceIdForProduct (productCode);
    const uint8_t bytes[] = { sysexStart, manufacturer, fixedByte, idHi (id), idLo (id), 0x55, 0x7F, sysexEnd };
    return juce::MidiMessage (bytes, (int) sizeof (bytes));
}

bool needsCompanionMessage (int productCode) noexcept
{
    return productCode >= 101 && productCode <= 104;
}
} // namespace zevo
