// The local firmware servers that tests/scripts/with-firmware-servers.sh
// starts for these tests, and the folder where downloads land.
#pragma once

#include "modules/zevo_firmware/FirmwareServer.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace testsupport
{
inline juce::String environment (const char* name)
{
    const char* value = std::getenv (name);
    return value != nullptr ? juce::String (value) : juce::String();
}

/** The server whose certificate is trusted here, e.g. "https://127.0.0.1:4711/". */
inline juce::String trustedRoot() { return environment ("KIVRA_TEST_FIRMWARE_ROOT"); }

/** A server whose certificate comes from a CA that nobody trusts. */
inline juce::String untrustedRoot() { return environment ("KIVRA_TEST_UNTRUSTED_ROOT"); }

/** Every path the trusted server was asked for, one a line, in order. */
inline juce::StringArray requestedPaths()
{
    return juce::StringArray::fromLines (juce::File (environment ("KIVRA_TEST_SERVER_LOG")).loadFileAsString().trimEnd());
}

/** The files a download left behind in the temporary folder (a folder of
    this run alone, set by the script). */
inline juce::Array<juce::File> leftoverTemporaryFiles()
{
    return juce::File::getSpecialLocation (juce::File::tempDirectory)
        .findChildFiles (juce::File::findFiles, false, "temp_*");
}

/** Points the upgrader at a folder of the trusted server while it lives. */
class ServerFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (trustedRoot().isEmpty())
            GTEST_SKIP() << "no test server: run through tests/scripts/with-firmware-servers.sh";
        zevo::FirmwareServer::setRoot (trustedRoot());
    }

    void TearDown() override { zevo::FirmwareServer::setRoot ({}); }
};
} // namespace testsupport
