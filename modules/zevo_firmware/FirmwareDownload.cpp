#include "FirmwareDownload.h"

#include "FirmwareServer.h"
#include "model/FileReplacement.h"

namespace zevo::FirmwareDownload
{
const char* const failureTitle = "Firmware Donwload";
const char* const failureText = "Could not download firmware file";

bool toFile (const juce::URL& url, juce::File target, const FirmwareRequest::CancelCheck& cancelled)
{
    juce::MemoryBlock image;
    if (url.isEmpty() || ! FirmwareRequest::fetch (url, FirmwareServer::getTimeoutMs(), maxBytes, image, cancelled))
        return false;

    return FileReplacement::replaceWith (target, image.getData(), image.getSize()).wasOk();
}
} // namespace zevo::FirmwareDownload
