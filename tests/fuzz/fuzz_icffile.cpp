// The clone file loader: any bytes as a clone file, loaded into an image of
// a size the input chooses, with or without address ranges, through a model
// code check and a map revision check that the input chooses too.
//
// A refused file leaves the image exactly as it was. An accepted one, saved
// again (with any comment) and loaded into the image as it was before, is
// accepted again and gives the same image and the same loaded bytes.
//
// Input: an options byte, the ranges (a count byte, then two 16-bit numbers
// for each), a length byte and that many bytes of comment, then the file.
#include "core/cmcEeprom.h"
#include "core/cmcGTex.h"
#include "core/cmcIcfFile.h"
#include "platform/base/UserMessage.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

constexpr int kModel = 0x7143;
constexpr int kSub = 0x0100;
// Image sizes, up to what sixteen address bits reach.
constexpr int kImageSizes[] = {0, 1, 16, 17, 100, 1024, 4099, 65536};
constexpr int kMaxRanges = 4;
// A comment length byte counts in fours, so that comments longer than a
// line can be had.
constexpr int kCommentUnit = 4;

std::string g_folder;
std::string g_input;
std::string g_saved;

void WriteWholeFile(const std::string& path, std::string_view bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) qmfuzz::Finding("cannot write the input file " + path);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// The runs of set bits of a loaded-bytes bitmap as a range list.
std::vector<dst_AdrRange> RunsOf(const std::vector<uint8_t>& bitmap, int size)
{
    std::vector<dst_AdrRange> runs;
    for (int a = 0; a < size;) {
        if ((bitmap[size_t(a / 8)] >> (a % 8) & 1) == 0) {
            ++a;
            continue;
        }
        const int first = a;
        while (a < size && (bitmap[size_t(a / 8)] >> (a % 8) & 1) != 0) ++a;
        runs.push_back({first, a - 1});
    }
    runs.push_back({1, 0});
    return runs;
}

struct Options {
    int imageSize;
    int headerMode;  // 0 plain comparison, 1 a check, 2 a check that refuses with the input's code
    int mapRevMode;  // 0 no check, 1 accepts below 2, 2 accepts any
    bool withRanges;
    int refusalCode;
    std::vector<dst_AdrRange> ranges;
};

// A loader set up as the options say.
void SetUp(cmcIcfFile& file, cmcEeprom& image, const Options& o)
{
    file.SetImage(&image);
    file.SetModelCode(kModel);
    file.SetSubCode(kSub);
    if (o.mapRevMode == 1) file.SetMapRevCheck({[](void*, int mapRev) { return mapRev < 2; }, nullptr});
    if (o.mapRevMode == 2) file.SetMapRevCheck({[](void*, int) { return true; }, nullptr});
    if (o.headerMode != 0) {
        const int refusal = o.headerMode == 2 ? o.refusalCode : kIcfOk;
        // Accepts the loader's own model code and every other whose model
        // and sub code differ in an even number of low bits.
        file.SetHeaderCheck({[refusal](void*, int model, int sub, int* error) {
                                 if (model == kModel && sub == kSub) return true;
                                 *error = refusal;
                                 return ((model ^ sub) & 1) == 0;
                             },
                             nullptr});
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qmfuzz::InstallThrowingFatal();
    // The file messages have their texts; the boxes are dropped.
    g_GTex.OpenOverlayLines({"#GI_Sys_AppTitle", "Title", "#GI_Mess_FileErr_Headline", "File error",
                             "#GI_Mess_FileErr_FileOpen", "open", "#GI_Mess_FileErr_FileAccess", "access",
                             "#GI_Mess_FileErr_Model", "model", "#GI_Mess_FileErr_Extra", "extra",
                             "#GI_Mess_FileErr_MapRev", "maprev", "#GI_Mess_FileErr_Format", "format",
                             "#GI_Mess_FileErr_Coverage", "coverage", "#GI_Mess_FileErr_Data", "data",
                             "#GI_Mess_FileErr_Newer", "newer", "#End_Of_Ovl"});
    plat::SetUserMessageFunction([](const std::string&, const std::string&, unsigned) { return plat::IDOK; });
    const char* shm = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    g_folder = std::string(shm) + "/qm-fuzz-icffile-" + std::to_string(getpid());
    std::filesystem::create_directories(g_folder);
    g_input = g_folder + "/in.icf";
    g_saved = g_folder + "/saved.icf";
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(g_folder, ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using qmfuzz::Require;
    qmfuzz::Input in(data, size);
    const uint8_t options = in.Byte();
    Options o;
    o.imageSize = kImageSizes[options & 7];
    o.headerMode = (options >> 3 & 3) % 3;
    o.mapRevMode = (options >> 5 & 3) % 3;
    o.withRanges = (options & 0x80) != 0;
    o.refusalCode = options % 10;
    const int rangeCount = in.Byte() % (kMaxRanges + 1);
    for (int k = 0; k < rangeCount; ++k) {
        const int first = in.U16();
        o.ranges.push_back({first, in.U16()});
    }
    o.ranges.push_back({1, 0});
    const std::string comment(in.Bytes(size_t(in.Byte()) * kCommentUnit));
    WriteWholeFile(g_input, in.Rest());

    // The image before: a pattern, so that a byte changed by a refused file shows.
    cmcEeprom before;
    before.Resize(o.imageSize);
    for (int a = 0; a < o.imageSize; ++a) before.SetByte(a, (a * 7 + 3) & 0xFF);

    cmcEeprom image(before);
    cmcIcfFile file;
    SetUp(file, image, o);
    const dst_AdrRange* ranges = o.withRanges ? o.ranges.data() : nullptr;
    const int code = file.Load(g_input, ranges);
    // The header check's refusal may name any code, "newer" among them.
    Require(code >= kIcfOk && code <= kIcfNewer, "a load result outside the error codes: " + std::to_string(code));
    Require(image.Size() == o.imageSize, "loading changed the image size");
    if (code != kIcfOk) {
        Require(image.Equals(before), "a refused file changed the image");
        return 0;
    }

    // Save what was loaded, as the loader now stands, and load it again.
    const std::vector<dst_AdrRange> loaded = RunsOf(file.LoadedBitmap(), o.imageSize);
    file.SetComment(comment);
    const int saved = file.Save(g_saved, loaded.data());
    Require(saved == kIcfOk, "the loaded bytes could not be saved: " + std::to_string(saved));

    cmcEeprom again(before);
    cmcIcfFile reader;
    SetUp(reader, again, o);
    const int reloaded = reader.Load(g_saved, ranges);
    Require(reloaded == kIcfOk, "a saved file was refused: " + std::to_string(reloaded));
    Require(again.Equals(image), "a saved and loaded image differs");
    Require(reader.LoadedBitmap() == file.LoadedBitmap(), "a saved file loads other bytes");
    Require(reader.GetMapRev() == file.GetMapRev() && reader.GetAdrBit() == file.GetAdrBit(),
            "a saved file has another map revision or address width");
    return 0;
}
