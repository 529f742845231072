#include "SettingsLocation.h"

namespace SettingsLocation
{
namespace
{
const juce::String defaultFolderName ("Zevosonic/Dolmaris");
juce::String folderName = defaultFolderName;

juce::File fileFor (bool commonToAllUsers)
{
    auto o = options();
    o.commonToAllUsers = commonToAllUsers;
    return o.getDefaultFile();
}
} // namespace

juce::PropertiesFile::Options options()
{
    juce::PropertiesFile::Options o;
    o.applicationName = "Dolmaris";
    o.filenameSuffix = ".conf";
    o.folderName = folderName;
    o.osxLibrarySubFolder = "Application Support";
    o.commonToAllUsers = true;
    o.ignoreCaseOfKeyNames = false;
    o.doNotSave = false;
    o.millisecondsBeforeSaving = 3000;
    o.storageFormat = juce::PropertiesFile::storeAsCompressedBinary;
    o.processLock = nullptr;
    return o;
}

juce::File commonFile() { return fileFor (true); }
juce::File userFile() { return fileFor (false); }

void redirectBelow (const juce::File& folder)
{
    // The all-users root is fixed, so the folder name climbs out of it; the
    // user's file then lands below the home folder, inside the same folder.
   #if JUCE_MAC
    const juce::File commonRoot ("/Library/Application Support");
   #else
    const juce::File commonRoot ("/var");
   #endif
    folderName = folder.getChildFile ("common").getChildFile (defaultFolderName).getRelativePathFrom (commonRoot);
}
} // namespace SettingsLocation
