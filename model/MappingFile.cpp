// Mapping files: one map of the model as an XML document.
#include "Dolmaris.h"

#include "FileReplacement.h"
#include "MappingDocument.h"
#include "UdMode.h"

namespace
{
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
    if (! impl->currentMap.isValid())
        return juce::Result::fail ("Could not save current mapping to disk");

    const auto text = MappingDocument::toText (impl->currentMap);
    const auto written = FileReplacement::replaceWith (file, text.getData(), text.getSize());
    if (written.failed())
        return juce::Result::fail ("Failed to write mapping file " + file.getFullPathName() + ": " + written.getErrorMessage());

    return juce::Result::ok();
}

juce::Result Dolmaris::openFile (const juce::File& file)
{
    juce::MemoryBlock data;
    if (auto read = MappingDocument::readFile (file, data); read.failed())
        return read;

    return openMappingData (data.getData(), data.getSize());
}

juce::Result Dolmaris::openMappingData (const void* data, size_t size)
{
    juce::ValueTree map;
    if (auto parsed = MappingDocument::parse (data, size, map); parsed.failed())
        return parsed;

    if (! namesWorkingMode (map))
        return juce::Result::fail (juce::String (MappingDocument::loadFailure)
                                   + (map.hasType (Tags::map) ? ": unknown control mode" : ": not a mapping file"));

    const CtMode mode = CtMap (map).getCtMode();
    installMap (*impl, map, mode);

    if (mode == CtMode::userDefined)
        UdMode::rebuildRows (map);

    return juce::Result::ok();
}
