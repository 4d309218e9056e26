// The normalisation of any clone memory, as a loaded file or a radio's read
// gives it (see FuzzImages.h for the input), the ways the program takes it.
// Loading unpacks the image and normalises it after the load; the counts the
// program walks are then within their limits. The way byte chooses what
// follows:
//
//   0  saving (normalised for output, then packed) twice: the second save
//      changes nothing more;
//   1  saving, loading that, and loading once more: the same working tables
//      again;
//   2  the clone write: a copy normalised for the radio and packed with the
//      layout trial and the channel budget.
#include "model/Normalise.h"
#include "tests/fuzz/FuzzImages.h"

namespace {

// The program's load: the tables unpacked, then normalised.
void Load(cmcEeprom& image)
{
    Dynamic2Static(image);
    PrepareImageForOutput(image, kAfterLoad, false);
    qmfuzz::RequireCountsWithinLimits(image);
}

// The program's save: normalised for output, then packed.
void Save(cmcEeprom& image)
{
    PrepareImageForOutput(image, kBeforeOutput, false);
    Pack(image);
}

} // namespace

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

    Load(image);
    switch (input.way % 3) {
    case 0: {
        Save(image);
        const cmcEeprom once(image);
        Save(image);
        qmfuzz::RequireSameBytes(image, once, 0, EepromMap::ImageSize, "saving a second time changed the image");
        break;
    }
    case 1: {
        Save(image);
        Load(image);
        const cmcEeprom loaded(image);
        Load(image);
        qmfuzz::RequireSameBytes(image, loaded, EepromMap::WorkStart, EepromMap::WorkEnd,
                                 "loading a second time changed the working tables");
        break;
    }
    default: {
        // The working image stays the judge of the channel budget.
        cmcEeprom copy(image);
        PrepareImageForOutput(copy, kBeforeOutput, true);
        const int packed = PackWithLayoutFlag(copy, true, true, input.legacy16);
        Require(packed == kPackOk || packed == kPackOverflow, "a pack result that is neither");
        break;
    }
    }
    Require(image.Size() == EepromMap::ImageSize, "the image changed its size");
    return 0;
}
