// The firmware catalogue comes from outside: anything that is not a small,
// plain XML document is refused unread, as the connection error the user sees.
// (Catalogues fetched, filtered and shown: tests/network.)
#include "modules/zevo_firmware/FirmwareCatalogue.h"

#include <gtest/gtest.h>

TEST (FirmwareCatalogue, HostileDocumentsAreRefusedAsAConnectionError)
{
    const juce::String entry = "<f pid=\"79\" name=\"n\" version=\"1\" fw=\"a.bin\"/>";
    // Few elements, each of a kilobyte: over the size cap, within every other bound.
    const auto kilobyteEntry = "<f name=\"" + juce::String::repeatedString ("n", 1000) + "\"/>";

    const juce::String documents[] = {
        "<!DOCTYPE f [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><firmwares><f pid=\"79\" name=\"&x;\"/></firmwares>",
        "<firmwares><?php echo 1; ?>" + entry + "</firmwares>",
        "<firmwares>" + entry, // cut short
        "<firmwares>" + juce::String::repeatedString (kilobyteEntry, 1100) + "</firmwares>",
        "<a><b><c><d><e><f><g><h><i><j><k><l><m><n><o><p><q/></p></o></n></m></l></k></j></i></h></g></f></e></d></c></b></a>",
    };
    for (const auto& document : documents)
    {
        juce::ValueTree tree { "previous" };
        const auto result = zevo::FirmwareCatalogue::read (document.toRawUTF8(), document.getNumBytesAsUTF8(), tree);
        EXPECT_EQ (result.getErrorMessage(), "Error connecting to server") << document.substring (0, 60);
        EXPECT_FALSE (tree.isValid());
    }
}
