#include "FirmwareDownload.h"

#include <juce_events/juce_events.h>

namespace zevo::FirmwareDownload
{
const char* const failureTitle = "Firmware Donwload";
const char* const failureText = "Could not download firmware file";

namespace
{
bool tooLarge (const juce::URL::DownloadTask& task)
{
    return task.getTotalLength() > maxBytes || task.getLengthDownloaded() > maxBytes;
}

bool isSuccess (int statusCode)
{
    return statusCode >= 200 && statusCode <= 299;
}
} // namespace

bool toFile (const juce::URL& url, const juce::File& target)
{
    if (url.isEmpty())
        return false;

    auto source = url; // downloadToFile is not const
    const auto task = source.downloadToFile (target, juce::URL::DownloadTaskOptions());
    if (task == nullptr)
        return false;

    while (! task->isFinished())
    {
        if (tooLarge (*task))
            return false; // destroying the task cancels the transfer

        juce::MessageManager::getInstance()->runDispatchLoopUntil (sliceMs);
    }

    return ! task->hadError() && isSuccess (task->statusCode()) && ! tooLarge (*task);
}
} // namespace zevo::FirmwareDownload
