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
    for (int code : { 110, 111, 112, 113, 114, 126 })
        EXPECT_EQ (zevo::deviceIdForProduct (code), 110) << code;
    for (int code : { 176, 177 })
        EXPECT_EQ (zevo::deviceIdForProduct (code), 176) << code;
    for (int code : { 79, 89 })
        EXPECT_EQ (zevo::deviceIdForProduct (code), 79) << code;
    for (int code : { 0, 94, 101, 115, 125, 127, 130, 178, 2000 })
        EXPECT_EQ (zevo::deviceIdForProduct (code), code) << code;
}

TEST (ModeMessage, ModeMessageBytes)
{
    EXPECT_EQ (bytesOf (zevo::makeModeMessage (89, zevo::ModeByte::userDefined)),
               (std::vector<int> { 0xF0, 0x1D, 0x03, 0x00, 0x4F, 0x00, 0x07, 0x7F, 0xF7 }));
    EXPECT_EQ (bytesOf (zevo::makeModeMessage (177, zevo::ModeByte::enterUpgradeMode)),
               (std::vector<int> { 0xF0, 0x1D, 0x03, 0x01, 0x30, 0x00, 0x7F, 0x7F, 0xF7 }));
    EXPECT_EQ (bytesOf (zevo::makeModeMessage (113, zevo::ModeByte::enterUpgradeMode)),
               (std::vector<int> { 0xF0, 0x1D, 0x03, 0x00, 0x6E, 0x00, 0x7F, 0x7F, 0xF7 }));
    EXPECT_EQ (bytesOf (zevo::makeModeMessage (2000, zevo::ModeByte::mackie)),
               (std::vector<int> { 0xF0, 0x1D, 0x03, 0x0F, 0x50, 0x00, 0x01, 0x7F, 0xF7 }));
    EXPECT_TRUE (zevo::makeModeMessage (79, zevo::ModeByte::mackie).isSysEx());
}

TEST (ModeMessage, CompanionIsOneByteShorterWith55InPlaceOf00)
{
    EXPECT_EQ (bytesOf (zevo::makeCompanionMessage (101)),
               (std::vector<int> { 0xF0, 0x1D, 0x03, 0x00, 0x65, 0x55, 0x7F, 0xF7 }));
    EXPECT_EQ (bytesOf (zevo::makeCompanionMessage (176)),
               (std::vector<int> { 0xF0, 0x1D, 0x03, 0x01, 0x30, 0x55, 0x7F, 0xF7 }));

    for (int code = 95; code <= 110; ++code)
        EXPECT_EQ (zevo::needsCompanionMessage (code), code >= 101 && code <= 104) << code;
}

TEST (ModeMessage, ModeBytesOfTheControlModes)
{
    EXPECT_EQ (zevo::modeByteForControlMode (0), 0x01);
    EXPECT_EQ (zevo::modeByteForControlMode (1), 0x03);
    EXPECT_EQ (zevo::modeByteForControlMode (2), 0x06);
    EXPECT_EQ (zevo::modeByteForControlMode (3), 0x07);
    EXPECT_FALSE (zevo::modeByteForControlMode (4).has_value());
    EXPECT_FALSE (zevo::modeByteForControlMode (10).has_value());
    EXPECT_FALSE (zevo::modeByteForControlMode (-1).has_value());
}

TEST (ModeMessage, IdBytesStayDataBytesForAnyCode)
{
    for (int code : { -1, -200, 16384, 100000 })
    {
        const auto bytes = bytesOf (zevo::makeModeMessage (code, zevo::ModeByte::mackie));
        EXPECT_LT (bytes[3], 0x80) << code;
        EXPECT_LT (bytes[4], 0x80) << code;
    }
}
