#include "FirmwareCatalogue.h"

#include "FirmwareServer.h"
#include "model/Product.h"

#include <limits>

namespace zevo::FirmwareCatalogue
{
const char* const unknownProduct = "Cannot fetch firmware details for Unknown product";
const char* const serverUnavailable = "The firmware server is currently unavailable.";
const char* const connectionError = "Error connecting to server";
const char* const unreadableResponse = "Could not read server response";
const char* const noMatch = "No firmware matches in the server, please try again manually!";

namespace
{
const juce::Identifier firmwaresType { "firmwares" };
const juce::Identifier pidAttribute { "pid" };
const juce::Identifier fwAttribute { "fw" };

juce::Result fail (const char* text)
{
    return juce::Result::fail (text);
}

// An endless or oversized answer fails once past the cap, unread beyond it.
juce::Result readBody (const juce::URL& url, juce::ValueTree& catalogue, const FirmwareRequest::CancelCheck& cancelled)
{
    juce::MemoryBlock body;
    if (! FirmwareRequest::fetch (url, FirmwareServer::getTimeoutMs(), limits.maxBytes, body, cancelled))
        return fail (connectionError);

    return read (body.getData(), body.getSize(), catalogue);
}
} // namespace

juce::String fileNameFor (int productCode)
{
    const bool special = productCode == Product::dolmarR || productCode == Product::dolmarRT;
    return special ? "firmware-special.xml" : "firmware.xml";
}

juce::Result read (const void* data, size_t size, juce::ValueTree& catalogue)
{
    catalogue = {};
    juce::ValueTree document;
    if (UntrustedXml::parse (data, size, limits, document).failed())
        return fail (connectionError);

    if (! document.isValid())
        return fail (unreadableResponse);

    catalogue = document;
    return juce::Result::ok();
}

int productCodeOf (const juce::ValueTree& entry)
{
    // As JUCE reads an int from text, but saturating: JUCE's own reading
    // overflows on a long run of digits, and the text comes from outside.
    const auto text = entry.getProperty (pidAttribute).toString();
    auto p = text.getCharPointer().findEndOfWhitespace();
    const bool negative = *p == '-';
    if (negative)
        ++p;

    juce::int64 value = 0;
    for (auto c = *p; c >= '0' && c <= '9'; c = *++p)
        value = juce::jmin (value * 10 + (c - '0'), (juce::int64) std::numeric_limits<int>::max());

    return (int) (negative ? -value : value);
}

void keepProduct (juce::ValueTree& catalogue, int productCode)
{
    juce::Array<juce::ValueTree> others;
    for (const auto& entry : catalogue)
        if (productCodeOf (entry) != productCode)
            others.add (entry);

    for (const auto& entry : others)
        catalogue.removeChild (entry, nullptr);
}

juce::URL firmwareUrl (const juce::ValueTree& catalogue, int index)
{
    if (! juce::isPositiveAndBelow (index, catalogue.getNumChildren()))
        return {};

    return juce::URL (FirmwareServer::getRoot() + catalogue.getChild (index).getProperty (fwAttribute).toString());
}

juce::Result fetch (int productCode, juce::ValueTree& catalogue, const FirmwareRequest::CancelCheck& cancelled)
{
    catalogue = juce::ValueTree (firmwaresType);

    if (productCode < 0 || productCode == Product::unknown)
        return fail (unknownProduct);

    const juce::URL url (FirmwareServer::getRoot() + fileNameFor (productCode));
    // The first request only asks whether the server answers at all, so that
    // an unreachable server costs at most its short time-out.
    if (! FirmwareRequest::answers (url, probeTimeoutMs, cancelled))
        return fail (serverUnavailable);

    juce::ValueTree fetched;
    if (auto result = readBody (url, fetched, cancelled); result.failed())
        return result;

    catalogue = fetched;
    keepProduct (catalogue, productCode);

    if (catalogue.getNumChildren() == 0)
        return fail (noMatch);

    return juce::Result::ok();
}
} // namespace zevo::FirmwareCatalogue
