#include "Dolmaris.h"

#include "SettingsFileCheck.h"
#include "SettingsLocation.h"

juce::SingletonHolder<Dolmaris, juce::CriticalSection, true> Dolmaris::singletonHolder;

//==============================================================================
Dolmaris::Impl::Impl() : modes (Tags::modes)
{
    appProperties.setStorageParameters (SettingsLocation::options());

    for (int mode = 0; mode < CtMode::numWorkingModes; ++mode)
        modes.appendChild (CtMap (CtMode (mode)).tree, nullptr);

    setCurrentMode (CtMode (0));
}

void Dolmaris::Impl::setCurrentMode (CtMode mode)
{
    currentMode = mode;
    currentMap = findMode (mode);
    modes.setProperty ("current", CtMode::slugForType (currentMode), nullptr);
}

juce::ValueTree Dolmaris::Impl::findMode (CtMode mode) const
{
    return modes.getChildWithProperty (Tags::mode, CtMode::slugForType (mode));
}

void Dolmaris::Impl::saveSettings()
{
    // JUCE reads both files as it opens them. One it must not read and that
    // cannot be moved aside keeps the settings from being written at all.
    if (! SettingsFileCheck::setAsideIfUnsafe (SettingsLocation::commonFile())
        || ! SettingsFileCheck::setAsideIfUnsafe (SettingsLocation::userFile()))
        return;

    auto* settings = appProperties.getCommonSettings (true);
    if (settings == nullptr)
        return;

    if (auto xml = modes.createXml())
        settings->setValue ("modes", xml.get());
}

//==============================================================================
Dolmaris::Dolmaris() : impl (std::make_unique<Impl>()) {}

Dolmaris::~Dolmaris()
{
    impl->saveSettings();
    impl.reset(); // the settings file is written as appProperties goes
    singletonHolder.clear (this);
}

CtMode Dolmaris::getCurrCtMode() const
{
    return CtMap (impl->currentMap).getCtMode();
}
