#include "model/datKovrAdr.h"

#include "model/ImageBytes.h"

namespace {
constexpr int32_t kTop = 4095;
}

datKovrAdr::datKovrAdr(cmcEeprom* image) : Image(image) { LoadOwnId(); }

void datKovrAdr::LoadOwnId()
{
    OwnId = uint32_t(ImageBytes(Image).U16(OwnIdOffset));
    Rebuild();
}

void datKovrAdr::StoreOwnId()
{
    ImageBytes(Image).SetU16(OwnIdOffset, OwnId & 0xFFFF);
    Rebuild();
}

void datKovrAdr::Rebuild()
{
    const int32_t own = int32_t(OwnId);
    auto set = [this](int from, int to, int32_t first, int32_t last) {
        for (int k = from; k <= to; ++k) {
            Ranges[k].First = first;
            Ranges[k].Last = last;
        }
    };
    set(0, 0, 0, 0);
    set(1, 1, 0, kTop);
    set(2, 2, own, kTop);
    set(3, 3, kTop, kTop);
    set(4, 4, 0, kTop);
    set(5, 6, 0, own - 1);
    set(7, 13, own, kTop);
    set(14, RangeCount - 1, 0, kTop);
}
