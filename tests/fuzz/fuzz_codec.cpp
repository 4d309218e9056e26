// The table directory and the item record codec on any clone-memory image:
// the input's first 512 bytes are the image header, the rest is repeated
// over the clone memory and the working tables. The directory is copied and
// searched and an entry appended; every item kind is decoded, encoded and
// committed at the edges of its index range and at an index the input
// chooses. Nothing may read or write outside the image.
#include "core/cmcEeprom.h"
#include "model/EepromMap.h"
#include "model/ModelContext.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>
#include <cstring>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qmfuzz::InstallThrowingFatal();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    qmfuzz::Input in(data, size);
    const int id = in.Byte();
    const int chosenIndex = static_cast<int16_t>(in.U16());
    const std::string_view header = in.Bytes(EepromMap::HeaderSize);
    const std::string_view body = in.Rest();

    // One image for the whole run: every input overwrites all of it.
    static cmcEeprom image;
    if (image.Size() != EepromMap::ImageSize) image.Resize(EepromMap::ImageSize);
    uint8_t* bytes = image.Data();
    const size_t imageSize = EepromMap::ImageSize;
    std::memset(bytes, 0, EepromMap::HeaderSize);
    std::memcpy(bytes, header.data(), header.size());
    if (body.empty()) {
        std::memset(bytes + EepromMap::HeaderSize, 0, imageSize - EepromMap::HeaderSize);
    } else {
        // The body, then the filled part copied onto what follows it, doubling.
        size_t filled = std::min(body.size(), imageSize - EepromMap::HeaderSize);
        std::memcpy(bytes + EepromMap::HeaderSize, body.data(), filled);
        while (EepromMap::HeaderSize + filled < imageSize) {
            const size_t n = std::min(filled, imageSize - EepromMap::HeaderSize - filled);
            std::memcpy(bytes + EepromMap::HeaderSize + filled, bytes + EepromMap::HeaderSize, n);
            filled += n;
        }
    }

    ModelContext context;
    context.CurrentImage = &image;
    ScopedModelContext current(context);

    DynamicBase(image);
    CopyDirectory(image);
    PtblEntry entry;
    for (int table : {id, 2, 3, 43, 113, 128}) {
        FindTable(image, table, entry);
        FindLegacyPtblEntry(image, table, entry);
    }
    AddTable(image, static_cast<uint32_t>(chosenIndex) * 977u, chosenIndex, id, id ^ 0x55);

    for (int kind = 0; kind <= ItemKindCount; ++kind) {
        const int lo = datCh::MinIndex(kind);
        const int hi = std::min(datCh::MaxIndex(kind), 1 << 20);
        for (int index : {lo - 1, lo, hi, hi + 1, chosenIndex}) {
            datCh item(&image);
            item.Unpack(kind, index);
            item.Pack(kind, index);
            item.Commit();
        }
    }
    UsedChannelCountInImage(image);
    datCh::BankOfChannel(chosenIndex);
    qmfuzz::Require(image.Size() == EepromMap::ImageSize, "the image changed its size");
    return 0;
}
