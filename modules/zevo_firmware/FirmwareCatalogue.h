// The firmware catalogue: an XML list on the maker's server, one element per
// firmware file, each saying which product it is for ("pid"), its "name" and
// "version" for the user, and where it lies below the server's folder ("fw").
// The catalogue comes over the network and is read as untrusted text.
#pragma once

#include "FirmwareRequest.h"
#include "model/UntrustedXml.h"

#include <juce_data_structures/juce_data_structures.h>

namespace zevo::FirmwareCatalogue
{
/** The failure texts of a fetch, as the user sees them. */
extern const char* const unknownProduct;
extern const char* const serverUnavailable;
extern const char* const connectionError;
extern const char* const unreadableResponse;
extern const char* const noMatch;

/** What a catalogue may be. A real one lists a few dozen files in a few
    kilobytes, two levels deep, with a handful of tag and attribute names. */
constexpr UntrustedXml::Limits limits {
    1024 * 1024, // bytes
    20000,       // elements
    16,          // depth
    64,          // attributes on one element
    256,         // different tag and attribute names
};

/** How long the first request may take. */
constexpr int probeTimeoutMs = 4000;

/** "firmware-special.xml" for the products listed there, else "firmware.xml". */
juce::String fileNameFor (int productCode);

/** Fetches the product's catalogue from the firmware server and keeps only
    the entries for that product, in the catalogue's order. `catalogue` is
    first set to an empty "firmwares" tree, then to the fetched one. On
    failure the result holds the text to show. Runs the message loop while
    the requests last; a cancel or a quit request fails them. */
juce::Result fetch (int productCode, juce::ValueTree& catalogue, const FirmwareRequest::CancelCheck& cancelled = {});

/** Reads a catalogue document from bytes (any bytes). On failure `catalogue`
    is invalid and the result holds the text to show. */
juce::Result read (const void* data, size_t size, juce::ValueTree& catalogue);

/** A product code as a catalogue writes it: the leading decimal digits of the
    text (after blanks and a minus sign), 0 when there are none. */
int productCodeOf (const juce::ValueTree& entry);

/** Removes every entry that is for another product; the rest keep their order. */
void keepProduct (juce::ValueTree& catalogue, int productCode);

/** The address of the firmware file of the entry at `index`: the server's
    folder followed by the entry's "fw" text. Empty when there is no such entry. */
juce::URL firmwareUrl (const juce::ValueTree& catalogue, int index);
} // namespace zevo::FirmwareCatalogue
