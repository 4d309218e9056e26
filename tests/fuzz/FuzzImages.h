#pragma once
// What the targets of the clone-memory image share: the initial images of
// both model types, the clone memories that inputs start from, the model
// context of an input, and the limits of the counts after an unpack.
//
// An input of these targets begins with an options byte, a way byte, the
// radio's version and layout flags, and its serial number; the rest is
// patches of the clone memory: a place byte (header, table directory or
// anywhere), a 24-bit offset, a length byte and that many bytes.
#include "core/cmcEeprom.h"
#include "model/EepromMap.h"
#include "model/ImageBytes.h"
#include "model/ModelContext.h"
#include "model/Packing.h"
#include "model/TableAccess.h"
#include "model/Unpacking.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tools/InitialDefaults.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace qmfuzz {

// Options byte: bits 0-1 the clone memory to start from, bit 2 the PMR model
// type, bit 3 the 16-bit layout, bits 4-6 the environment's priority-removal,
// rotary-limit and key-C options.
struct ImageInput {
    uint8_t options = 0;
    uint8_t way = 0;
    int kind = 1;  // channel record kind: 1 LMR, 2 PMR
    bool legacy16 = false;
    uint32_t serial = 0;
    std::array<uint8_t, IdentityPayload::Size> payload{};
};

class ModelImages {
public:
    static constexpr int Kinds = 2;
    static constexpr int Bases = 4;  // packed, packed in the 16-bit layout, zeros, ones

    static const ModelImages& Get()
    {
        static const ModelImages images;
        return images;
    }

    // The initial image of a kind: the defaults with every template repeated
    // and the counters of a fresh document.
    const cmcEeprom& Initial(int kind) const { return m_initial[kind - 1]; }
    const cmcEeprom& Base(int kind, int base) const { return m_base[kind - 1][base]; }

private:
    ModelImages()
    {
        const char* models[Kinds] = {"lmr", "pmr"};
        for (int k = 0; k < Kinds; ++k) {
            const initial::Defaults d = initial::Read(QM_INITIAL_DEFAULTS_DIR, models[k]);
            if (!d.error.empty()) Finding("the initial defaults cannot be read: " + d.error);
            cmcEeprom& initial = m_initial[k];
            initial.Resize(EepromMap::ImageSize);
            initial::Apply(d, initial);
            initial::ReplicateTemplates(initial);
            WriteCToneListCount(initial, 40);
            WriteNacChListCount(initial, 40);
            for (int kind : {18, 28, 32}) WriteIndListCount(initial, 1, kind);
            for (int kind : {19, 29, 33}) WriteTgListCount(initial, 1, kind);

            ModelContext context;
            context.MchRecordKind = [k] { return k + 1; };
            ScopedModelContext guard(context);
            for (int b = 0; b < Bases; ++b) m_base[k][b] = initial;
            Static2Dynamic(m_base[k][0], false, false, false);
            Static2Dynamic(m_base[k][1], false, false, true);
            std::memset(m_base[k][2].Data(), 0x00, EepromMap::CloneSize);
            std::memset(m_base[k][3].Data(), 0xFF, EepromMap::CloneSize);
        }
    }

    cmcEeprom m_initial[Kinds];
    cmcEeprom m_base[Kinds][Bases];
};

inline ImageInput ReadImageInput(Input& in)
{
    ImageInput out;
    out.options = in.Byte();
    out.way = in.Byte();
    out.kind = (out.options & 4) != 0 ? 2 : 1;
    out.legacy16 = (out.options & 8) != 0;
    out.payload[IdentityPayload::Version] = in.Byte();
    out.payload[IdentityPayload::LayoutFlags] = in.Byte();
    out.serial = uint32_t(in.I32());
    return out;
}

// The clone memory of the input over the working tables of the initial
// image, as a file open or a clone read leaves it.
inline cmcEeprom PatchedImage(Input& in, const ImageInput& input)
{
    constexpr int kDirectoryBytes = EepromMap::MaxDirEntries * EepromMap::Dir12EntrySize + EepromMap::MarkerSize;
    cmcEeprom image(ModelImages::Get().Base(input.kind, input.options & 3));
    const ImageBytes img(image);
    const uint32_t dir12 = img.U32(EepromMap::Dir12Address);
    const int directory = int(std::min<uint32_t>(dir12 != 0 ? dir12 : uint32_t(img.U16(EepromMap::Dir10Address)),
                                                 EepromMap::CloneLast));
    while (!in.Empty()) {
        const int place = in.Byte() % 3;
        const int offset = int(uint32_t(in.Byte()) << 16 | in.U16());
        const std::string_view bytes = in.Bytes(in.Byte());
        const int at = place == 0 ? offset % EepromMap::HeaderSize
                     : place == 1 ? std::min(directory + offset % kDirectoryBytes, EepromMap::CloneLast)
                                  : offset % EepromMap::CloneSize;
        const int n = std::min(int(bytes.size()), EepromMap::CloneSize - at);
        if (n > 0) std::memcpy(image.Data() + at, bytes.data(), size_t(n));
    }
    return image;
}

// The model context of an input: the current image, the initial image of
// its kind, the environment's options, the last identification.
inline ModelContext ContextOf(cmcEeprom* current, const ImageInput& input)
{
    constexpr int kUnitIdMax = 65519;
    ModelContext c;
    c.CurrentImage = current;
    c.InitialImage = const_cast<cmcEeprom*>(&ModelImages::Get().Initial(input.kind));
    const int kind = input.kind;
    const uint8_t options = input.options;
    const uint32_t serial = input.serial;
    c.MchRecordKind = [kind] { return kind; };
    c.PriorityRemoval = [options] { return (options & 0x10) != 0; };
    c.RotaryLimit = [options] { return (options & 0x20) != 0; };
    c.KeyCRemoval = [options] { return (options & 0x40) != 0; };
    c.IdentityPayload = input.payload.data();
    c.SerialNumber = [serial] { return serial; };
    c.UnitIdMax = [] { return kUnitIdMax; };
    return c;
}

// The counts that the rest of the program walks, after an unpack.
inline void RequireCountsWithinLimits(const cmcEeprom& image)
{
    Require(UsedChannelCountInImage(image) <= CountLimits::Channels, "more channels than there are");
    int ltr = 0, zeph = 0;
    for (int g = 0; g < WorkTables::Banks; ++g) {
        const int l = ReadGroupItemCount(image, g, 22), z = ReadGroupItemCount(image, g, 27);
        Require(l <= CountLimits::LtrPerGroup && z <= CountLimits::ZephPerGroup, "a group with too many repeaters");
        ltr += l;
        zeph += z;
    }
    Require(ltr <= CountLimits::LtrTotal && zeph <= CountLimits::ZephTotal, "too many repeaters in all");
    for (int s = 0; s < WorkTables::Sites; ++s)
        Require(ReadGroupItemCount(image, s, 31) <= CountLimits::SiteRepeaters, "a site with too many repeaters");
    Require(image.GetByte(WorkTables::MultisiteSiteCount) <= CountLimits::Sites, "too many sites");
    const ImageBytes img(image);
    Require(ReadCToneListCount(image) <= 80 && ReadNacChListCount(image) <= 80, "a tone or NAC list too long");
    for (int at : {EepromMap::CountIndKind18, EepromMap::CountTgKind19, EepromMap::CountIndKind28, EepromMap::CountTgKind29,
                   EepromMap::CountIndKind32, EepromMap::CountTgKind33})
        Require(img.U16(at) <= 500, "an ID list too long");
}

// Requires the bytes [first, end) of two images to be equal; the finding
// names the first address where they differ.
inline void RequireSameBytes(const cmcEeprom& a, const cmcEeprom& b, int first, int end, const std::string& what)
{
    if (std::memcmp(a.Data() + first, b.Data() + first, size_t(end - first)) == 0) return;
    for (int at = first; at < end; ++at)
        if (a.Data()[at] != b.Data()[at])
            Finding(what + " (first at byte " + std::to_string(at) + ": " + std::to_string(b.Data()[at]) + " became " +
                    std::to_string(a.Data()[at]) + ")");
}

} // namespace qmfuzz
