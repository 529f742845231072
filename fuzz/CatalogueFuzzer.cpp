// Feeds arbitrary bytes to the firmware catalogue reader, as a server's answer
// would arrive. Whatever the bytes hold, the reader either refuses them with
// one of its texts and gives no tree, or gives a tree from which the
// product's entries are kept in order and each entry's address is built.
//
// Built with the other fuzz targets (see OpenFileFuzzer.cpp), and run with
//   fuzz/run-fuzzer.sh build-fuzz/fuzz/CatalogueFuzzer 60
#include "modules/zevo_firmware/FirmwareCatalogue.h"
#include "modules/zevo_firmware/FirmwareServer.h"

#include <cstdint>
#include <cstdlib>

namespace catalogue = zevo::FirmwareCatalogue;

namespace
{
void require (bool condition)
{
    if (! condition)
        std::abort();
}

void requireProductKeptInOrder (const juce::ValueTree& document, int product)
{
    auto kept = document.createCopy();
    catalogue::keepProduct (kept, product);

    int next = 0;
    for (const auto& entry : document)
        if (catalogue::productCodeOf (entry) == product)
            require (kept.getChild (next++).isEquivalentTo (entry));

    require (kept.getNumChildren() == next);

    for (int i = 0; i < kept.getNumChildren(); ++i)
        require (catalogue::firmwareUrl (kept, i).toString (false).startsWith (zevo::FirmwareServer::getRoot()));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    juce::ValueTree document { "previous" };
    const auto result = catalogue::read (data, size, document);

    if (result.failed())
    {
        require (! document.isValid());
        require (result.getErrorMessage() == catalogue::connectionError
                 || result.getErrorMessage() == catalogue::unreadableResponse);
        return 0;
    }

    require (document.isValid());
    require ((juce::int64) size <= catalogue::limits.maxBytes);

    // The first entry's product, so that inputs that keep something are common.
    const int product = document.getNumChildren() > 0 ? catalogue::productCodeOf (document.getChild (0)) : 79;
    requireProductKeptInOrder (document, product);
    return 0;
}
