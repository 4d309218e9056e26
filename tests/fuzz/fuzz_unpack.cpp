// Unpacking and packing of any clone memory, as a loaded file or a radio's
// read gives it (see FuzzImages.h for the input). The way byte chooses:
//
//   0  the unpack of a loaded image; the counts the program walks are then
//      within their limits, and unpacking the result again (it is packed by
//      the unpack) gives the same clone memory: what a save would write does
//      not change. (Working entries that no count reaches may: a damaged
//      file's stored table may fill more of them than its counts use, and a
//      second unpack takes the defaults there.)
//   1  the unpack, then a pack with the options of the way byte (for a
//      radio, with the channel budget, with the layout trial) and the 16-bit
//      layout of the options, and the channel budget's judgements;
//   2  the initial image's unpack, over the same clone memory.
#include "tests/fuzz/FuzzImages.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qmfuzz::InstallThrowingFatal();
    qmfuzz::ModelImages::Get();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using qmfuzz::Require;
    qmfuzz::Input in(data, size);
    const qmfuzz::ImageInput input = qmfuzz::ReadImageInput(in);
    cmcEeprom image = qmfuzz::PatchedImage(in, input);
    ScopedModelContext context(qmfuzz::ContextOf(&image, input));

    switch (input.way % 3) {
    case 0: {
        Dynamic2Static(image);
        qmfuzz::RequireCountsWithinLimits(image);
        const cmcEeprom once(image);
        Dynamic2Static(image);
        qmfuzz::RequireSameBytes(image, once, 0, EepromMap::CloneSize, "unpacking an unpacked image again changed it");
        break;
    }
    case 1: {
        Dynamic2Static(image);
        const bool forRadio = (input.way & 4) != 0, withBudget = (input.way & 8) != 0;
        const int packed = (input.way & 16) != 0 ? PackWithLayoutFlag(image, forRadio, withBudget, input.legacy16)
                                                 : Static2Dynamic(image, forRadio, withBudget, input.legacy16);
        Require(packed == kPackOk || packed == kPackOverflow, "a pack result that is neither");
        const int room = CountLimits::Channels - UsedChannelCountInImage(image);
        Require(MaxChannelsThatFit(image, room) <= room, "more channels fit than were asked for");
        Require(MaxChannelsThatFitPacked(image, room) <= room, "more channels fit than were asked for");
        break;
    }
    default:
        UnpackDefaults(image);
        qmfuzz::RequireCountsWithinLimits(image);
        break;
    }
    Require(image.Size() == EepromMap::ImageSize, "the image changed its size");
    return 0;
}
