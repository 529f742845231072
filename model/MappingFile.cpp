// Mapping files: one map of the model as an XML document.
#include "Dolmaris.h"

#include "MappingDocument.h"
#include "UdMode.h"

namespace
{
juce::XmlElement::TextFormat mappingFileFormat()
{
    juce::XmlElement::TextFormat format;
    format.customEncoding = "UTF-8";
    format.lineWrapLength = 60;
    format.newLineChars = "\r\n";
    return format;
}

// Only a map that names a working mode by its exact slug can be filed under
// that mode and found again by it; anything else would leave the model
// without a current map, or with a map no row table serves.
bool namesWorkingMode (const juce::ValueTree& map)
{
    const auto& modeProperty = map.getProperty (Tags::mode);
    const CtMode mode = CtMap (map).getCtMode();
    return modeProperty.isString() && mode.isWorkingMode()
           && modeProperty.toString() == CtMode::slugForType (mode);
}

// Puts the loaded map where the old map of its mode stood, so the modes keep
// their order, and makes it current.
void installMap (Dolmaris::Impl& model, const juce::ValueTree& map, CtMode mode)
{
    const int index = model.modes.indexOf (model.findMode (mode));
    if (index >= 0)
    {
        model.modes.removeChild (index, nullptr);
        model.modes.addChild (map, index, nullptr);
    }
    else
    {
        model.modes.appendChild (map, nullptr);
    }

    model.setCurrentMode (mode);
}
} // namespace

juce::Result Dolmaris::saveCurrentMapping (const juce::File& file)
{
    const auto xml = impl->currentMap.createXml();
    if (xml == nullptr)
        return juce::Result::fail ("Could not save current mapping to disk");

    // writeTo goes through a temporary file beside the target, so a failed
    // write leaves the old file as it was. An empty path has no folder to hold it.
    if (file == juce::File() || ! xml->writeTo (file, mappingFileFormat()))
        return juce::Result::fail ("Failed to write mapping file");

    return juce::Result::ok();
}

juce::Result Dolmaris::openFile (const juce::File& file)
{
    juce::ValueTree map;
    if (auto read = MappingDocument::read (file, map); read.failed())
        return read;

    if (! namesWorkingMode (map))
        return juce::Result::fail (juce::String (MappingDocument::loadFailure) + ": unknown control mode");

    const CtMode mode = CtMap (map).getCtMode();
    installMap (*impl, map, mode);

    if (mode == CtMode::userDefined)
        UdMode::rebuildRows (map);

    return juce::Result::ok();
}
