#include "MidiInputHandler.h"

#include "UpgradePackets.h"

namespace zevo
{
FirmwareUpgradeComponent::MidiInputHandler::MidiInputHandler (FirmwareUpgradeComponent* ownerToUpdate, int code)
    : owner (ownerToUpdate), productCode (code)
{
}

FirmwareUpgradeComponent::MidiInputHandler::~MidiInputHandler()
{
    closePorts();
}

void FirmwareUpgradeComponent::MidiInputHandler::handleIncomingMidiMessage (juce::MidiInput*,
                                                                            const juce::MidiMessage& message)
{
    // A one-byte message carries no reply code.
    if (message.getRawDataSize() < 2)
        return;

    switch (message.getRawData()[1])
    {
        case UpgradeCommand::connect: connectReplied = true; break;
        case UpgradeCommand::erase: eraseReplied = true; break;
        case UpgradeCommand::write: writeReplied = true; break;
        case UpgradeCommand::reset: resetReplied = true; break;
        default: break;
    }
}

bool FirmwareUpgradeComponent::MidiInputHandler::isValidImageSize (uint64_t size) noexcept
{
    return size >= minimumImageSize && size <= maximumImageSize;
}

void FirmwareUpgradeComponent::MidiInputHandler::openProgram (const juce::File& file)
{
    imageSize = 0;
    image.clear();
    image.shrink_to_fit();
    firmwareFile = file;

    // Only a plain file's length is its content's length (a device reports 0).
    const auto length = (uint64_t) juce::jmax ((juce::int64) 0, file.getSize());
    if (! isValidImageSize (length))
    {
        imageSize = length;
        return;
    }

    juce::FileInputStream stream (file);
    if (! stream.openedOk())
        return;

    // At most the length seen above: a file that grows meanwhile is not read on.
    juce::MemoryBlock bytes;
    const auto bytesRead = stream.readIntoMemoryBlock (bytes, (ssize_t) length);
    imageSize = (uint64_t) bytesRead;
    if (imageSize == 0)
        return;

    // Zeros after the image fill its last block.
    const auto blocks = (imageSize + 1 + blockSize - 1) / blockSize;
    image.assign ((size_t) (blocks * blockSize), 0);
    std::copy_n (static_cast<const uint8_t*> (bytes.getData()), (size_t) imageSize, image.begin());
}

bool FirmwareUpgradeComponent::MidiInputHandler::openPorts (const juce::String& portName)
{
    closePorts();

    auto& ports = MidiPorts::get();
    input = ports.openInput (portName, this);
    if (input != nullptr)
        input->start();
    output = ports.openOutput (portName);
    return input != nullptr && output != nullptr;
}

void FirmwareUpgradeComponent::MidiInputHandler::closePorts()
{
    if (input != nullptr)
        input->stop();
    input.reset();
    output.reset();
}

void FirmwareUpgradeComponent::MidiInputHandler::clearReplyFlags() noexcept
{
    resetReplied = false;
    writeReplied = false;
    eraseReplied = false;
    connectReplied = false;
}
} // namespace zevo
