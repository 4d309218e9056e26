// Writes the two initial clone files, InitialLMR.icf (model type 0) and
// InitialPMR.icf (model type 1), from the readable default tables in
// data/initial (see tools/InitialDefaults.h).
//
// The clone memory holds every table that the default unpack reads, in its
// order, from address 512: a template table as its one first entry, every
// other table whole; then the 12-byte table directory and the end marker.
// The program's own packer is not used: it would store empty lists with no
// entry at all, and the unpack would then take a template from whatever
// follows.
//
//   gen_initial_files <defaults folder> <output folder>
#include "core/cmcEeprom.h"
#include "core/cmcGTex.h"
#include "core/cmcIcfFile.h"
#include "model/EepromMap.h"
#include "model/Unpacking.h"
#include "tools/InitialDefaults.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kModelCode = 0x7143;
constexpr int kMapRev = 1;
constexpr int kAdrBit = 32;

void Put16(cmcEeprom& image, int at, int value)
{
    image.SetByte(at, (value >> 8) & 0xFF);
    image.SetByte(at + 1, value & 0xFF);
}

void Put32(cmcEeprom& image, int at, uint32_t value)
{
    Put16(image, at, int(value >> 16));
    Put16(image, at + 2, int(value & 0xFFFF));
}

// Lays the working tables out in the clone memory; false when they do not fit.
bool LayOut(cmcEeprom& image)
{
    const auto defaults = DefaultDescriptors();
    const auto tables = UnpackDescriptors();
    int offset = EepromMap::DynamicStart;
    std::vector<std::vector<int>> directory;  // id, size, count, address
    for (size_t k = 0; k < tables.size(); ++k) {
        const PtblDescriptor& t = tables[k];
        const int count = defaults[k].FillMode == kFillTemplate ? 1 : t.EntryCount;
        const int bytes = t.EntrySize * count;
        if (offset + bytes > EepromMap::CloneLast) return false;
        for (int b = 0; b < bytes; ++b) image.SetByte(offset + b, image.GetByte(t.Destination + b));
        directory.push_back({t.Id, t.EntrySize, count, offset});
        offset += bytes;
    }
    const int directoryAddress = offset;
    if (offset + EepromMap::Dir12EntrySize * int(directory.size()) + EepromMap::MarkerSize > EepromMap::CloneLast)
        return false;
    for (const auto& e : directory) {
        Put16(image, offset, e[0]);
        Put16(image, offset + 2, e[1]);
        Put16(image, offset + 4, e[2]);
        Put16(image, offset + 6, 0);
        Put32(image, offset + 8, uint32_t(e[3]));
        offset += EepromMap::Dir12EntrySize;
    }
    for (int k = 0; k < EepromMap::MarkerSize; ++k) image.SetByte(offset + k, EepromMap::Marker[k]);
    offset += EepromMap::MarkerSize;

    Put32(image, EepromMap::End32PartA, uint32_t(directoryAddress));
    Put32(image, EepromMap::End32, uint32_t(offset));
    Put32(image, EepromMap::Base32, EepromMap::DynamicStart);
    Put16(image, EepromMap::Dir12Present, 1);
    Put16(image, EepromMap::Dir12Size, EepromMap::Dir12EntrySize);
    Put16(image, EepromMap::Dir12Count, int(directory.size()));
    Put32(image, EepromMap::Dir12Address, uint32_t(directoryAddress));
    return true;
}

bool Write(const std::string& defaultsFolder, const std::string& modelType, const std::string& comment,
           const std::string& path)
{
    const initial::Defaults d = initial::Read(defaultsFolder, modelType);
    if (!d.error.empty()) {
        std::fprintf(stderr, "gen_initial_files: %s\n", d.error.c_str());
        return false;
    }
    cmcEeprom image;
    image.Resize(EepromMap::ImageSize);
    initial::Apply(d, image);
    if (!LayOut(image)) {
        std::fprintf(stderr, "gen_initial_files: the %s defaults do not fit the clone memory\n", modelType.c_str());
        return false;
    }
    cmcIcfFile file;
    file.SetImage(&image);
    file.SetModelCode(kModelCode);
    file.SetSubCode(0);
    file.SetMapRev(kMapRev);
    file.SetAdrBit(kAdrBit);
    file.SetComment(comment);
    const dst_AdrRange ranges[] = {{0, EepromMap::CloneLast}, {1, 0}};
    return file.Save(path, ranges) == kIcfOk;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: gen_initial_files <defaults folder> <output folder>\n");
        return 2;
    }
    // The clone file names its failures through the language overlay.
    g_GTex.OpenOverlayLines({"#GI_Sys_AppTitle", "gen_initial_files", "#GI_Mess_FileErr_Headline",
                             "The initial file was not written.", "#GI_Mess_FileErr_FileOpen", "It cannot be created.",
                             "#GI_Mess_FileErr_FileAccess", "Writing it failed.", "#End_Of_Ovl"});
    const std::string in = argv[1], out = argv[2];
    const bool ok = Write(in, "lmr", "Initial data, LMR", out + "/InitialLMR.icf") &&
                    Write(in, "pmr", "Initial data, PMR", out + "/InitialPMR.icf");
    return ok ? 0 : 1;
}
