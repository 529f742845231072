// The mode message family and the device id table.
#include "model/ModeMessage.h"

#include <gtest/gtest.h>

namespace
{
std::vector<int> bytesOf (const juce::MidiMessage& message)
{
    const auto* data = message.getRawData();
    return { data, data + message.getRawDataSize() };
}
} // namespace

TEST (ModeMessage, DeviceIdOfEveryFamily)
{
    const std::pair<int, int> codeToId[] = { { 110, 110 }, { 111, 110 }, { 112, 110 }, { 113, 110 }, { 114, 110 },
                                             { 126, 110 }, { 176, 176 }, { 177, 176 }, { 79, 79 },   { 89, 79 },
                                             { 0, 0 },     { 101, 101 }, { 115, 115 }, { 127, 127 }, { 178, 178 } };
    for (const auto& [code, id] : codeToId)
        EXPECT_EQ (zevo::deviceIdForProduct (code), id) << code;
}

TEST (ModeMessage, ModeAndCompanionMessageBytes)
{
    EXPECT_EQ (bytesOf (zevo::makeModeMessage (89, zevo::ModeByte::userDefined)),
               (std::vector<int> { 0xF0, 0x1D, 0x03, 0x00, 0x4F, 0x00, 0x07, 0x7F, 0xF7 }));
    EXPECT_EQ (bytesOf (zevo::makeModeMessage (177, zevo::ModeByte::enterUpgradeMode)),
               (std::vector<int> { 0xF0, 0x1D, 0x03, 0x01, 0x30, 0x00, 0x7F, 0x7F, 0xF7 }));
    EXPECT_EQ (bytesOf (zevo::makeCompanionMessage (101)),
               (std::vector<int> { 0xF0, 0x1D, 0x03, 0x00, 0x65, 0x55, 0x7F, 0xF7 }));
    for (int code = 95; code <= 110; ++code)
        EXPECT_EQ (zevo::needsCompanionMessage (code), code >= 101 && code <= 104) << code;
}

TEST (ModeMessage, ModeBytesOfTheControlModes)
{
    const std::optional<uint8_t> expected[] = { std::nullopt, 0x01, 0x03, 0x06, 0x07, std::nullopt, std::nullopt };
    for (int mode = -1; mode <= 5; ++mode)
        EXPECT_EQ (zevo::modeByteForControlMode (mode), expected[mode + 1]) << mode;
    EXPECT_FALSE (zevo::modeByteForControlMode (10).has_value());
}

TEST (ModeMessage, IdBytesStayDataBytesForAnyCode)
{
    for (int code : { -1, 16384, 100000 })
    {
        const auto bytes = bytesOf (zevo::makeModeMessage (code, zevo::ModeByte::mackie));
        EXPECT_LT (bytes[3], 0x80) << code;
        EXPECT_LT (bytes[4], 0x80) << code;
    }
}
