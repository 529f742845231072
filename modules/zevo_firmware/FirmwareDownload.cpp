#include "FirmwareDownload.h"

#include "FirmwareServer.h"

namespace zevo::FirmwareDownload
{
const char* const failureTitle = "Firmware Donwload";
const char* const failureText = "Could not download firmware file";

bool toFile (const juce::URL& url, const juce::File& target, const FirmwareRequest::CancelCheck& cancelled)
{
    juce::MemoryBlock image;
    if (url.isEmpty() || ! FirmwareRequest::fetch (url, FirmwareServer::getTimeoutMs(), maxBytes, image, cancelled))
        return false;

    juce::FileOutputStream file (target);
    if (! file.openedOk() || ! file.setPosition (0) || file.truncate().failed())
        return false;

    file.write (image.getData(), image.getSize());
    file.flush();
    return file.getStatus().wasOk();
}
} // namespace zevo::FirmwareDownload
