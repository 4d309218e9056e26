#include "core/cmcEeprom.h"
#include "core/cmcIcfFile.h"
#include "model/EepromMap.h"
#include "model/ModelContext.h"
#include "model/Normalise.h"
#include "model/Packing.h"
#include "model/TableAccess.h"
#include "model/Unpacking.h"
#include "model/datCh.h"
#include "tests/model/ModelTestImage.h"
#include "tests/support/TestSupport.h"
#include "tools/InitialDefaults.h"

#include <cstring>

using namespace modeltest;

namespace {

struct ModelFile {
    const char* name;
    const char* defaults;
    int modelType;  // 0 LMR, 1 PMR
};
constexpr ModelFile kFiles[] = {{"InitialLMR.icf", "lmr", 0}, {"InitialPMR.icf", "pmr", 1}};

std::string PathOf(const ModelFile& f) { return std::string(QM_INITIAL_FILES_DIR) + "/" + f.name; }

constexpr dst_AdrRange kCloneMemory[] = {{0, EepromMap::CloneLast}, {1, 0}};

// Loads a clone file with the checks of the program's start-up and file
// open: model 7143 or 7148 with sub code 0 or 256, map revision below 2,
// coverage of the clone memory (or its first 65408 bytes).
int LoadChecked(const std::string& path, cmcEeprom& image)
{
    cmcIcfFile file;
    file.SetImage(&image);
    file.SetModelCode(0x7143);
    file.SetMapRevCheck({[](void*, int mapRev) { return mapRev < 2; }, nullptr});
    file.SetHeaderCheck({[](void*, int model, int sub, int* error) {
                             if (model != 0x7143 && model != 0x7148) return *error = kIcfModel, false;
                             if (sub != 0 && sub != 256) return *error = kIcfExtra, false;
                             return true;
                         },
                         nullptr});
    file.SetCompareSize(0xFF80);
    return file.Load(path, kCloneMemory);
}

// The image header check of a loaded or packed image, markers included.
bool HeaderIsGood(const cmcEeprom& image)
{
    if (Get16(image, 0) != 0x7143 || (image.GetByte(2) != 1 && image.GetByte(2) != 2) || image.GetByte(264) >= 2)
        return false;
    if (std::memcmp(image.Data() + 256, EepromMap::Marker, 8) != 0) return false;
    if (Get16(image, 266) != 0x7143 && Get16(image, 266) != 0x7148) return false;
    const uint32_t end32 = (uint32_t(Get16(image, 308)) << 16) | uint32_t(Get16(image, 310));
    const uint32_t base32 = (uint32_t(Get16(image, 312)) << 16) | uint32_t(Get16(image, 314));
    const int end16 = Get16(image, 274), base16 = Get16(image, 276);
    int64_t at;
    if (end32 != 0 && end16 == 0) at = 504 + int64_t(end32) - base32;
    else if (end16 != 0) at = 504 + end16 - base16;
    else return false;
    return at >= 0 && at + 8 <= EepromMap::CloneSize && std::memcmp(image.Data() + at, EepromMap::Marker, 8) == 0;
}

// The initial image of a model type as the program holds it: loaded and
// unpacked as defaults.
class InitialFixture : public ::testing::Test {
protected:
    void Load(const ModelFile& f)
    {
        initial = MakeImage();
        ASSERT_EQ(LoadChecked(PathOf(f), initial), kIcfOk) << f.name;
        UnpackDefaults(initial);
        const int kind = f.modelType + 1;
        current.Context().MchRecordKind = [kind] { return kind; };
        current.Context().InitialImage = &initial;
        current.Context().UnitIdMax = [] { return 65519; };
    }
    CurrentImage current;
    cmcEeprom initial;
};

} // namespace

TEST_F(InitialFixture, UnpackIntoTheIntendedWorkingTables)
{
    for (const ModelFile& f : kFiles) {
        SCOPED_TRACE(f.name);
        Load(f);
        // What the readable defaults describe, every template repeated.
        const initial::Defaults d = initial::Read(QM_INITIAL_DEFAULTS_DIR, f.defaults);
        ASSERT_EQ(d.error, "");
        cmcEeprom expected = MakeImage();
        initial::Apply(d, expected);
        initial::ReplicateTemplates(expected);
        for (int a = EepromMap::WorkStart; a < EepromMap::WorkEnd; ++a)
            ASSERT_EQ(initial.GetByte(a), expected.GetByte(a)) << "working byte " << a;
        // The header, but for the layout fields of the stored tables.
        for (int a = 0; a < EepromMap::HeaderSize; ++a) {
            if (a >= EepromMap::End16PartA && a < EepromMap::Dir12Address + 4) continue;
            ASSERT_EQ(initial.GetByte(a), expected.GetByte(a)) << "header byte " << a;
        }

        // The counters of a fresh document.
        EXPECT_EQ(ReadCToneListCount(initial), 40);
        EXPECT_EQ(ReadNacChListCount(initial), 40);
        for (int at : {EepromMap::CountIndKind18, EepromMap::CountTgKind19, EepromMap::CountIndKind28,
                       EepromMap::CountTgKind29, EepromMap::CountIndKind32, EepromMap::CountTgKind33})
            EXPECT_EQ(Get16(initial, at), 1) << at;
        // Every table of the default unpack is stored.
        for (const PtblDescriptor& t : UnpackDescriptors()) {
            PtblEntry e;
            EXPECT_TRUE(FindTable(initial, t.Id, e)) << t.Id;
        }
    }
}

TEST_F(InitialFixture, ContentTheProgramReliesOn)
{
    for (const ModelFile& f : kFiles) {
        SCOPED_TRACE(f.name);
        Load(f);
        current.image = initial;
        cmcEeprom& img = current.image;
        // Identity and the model type.
        EXPECT_TRUE(HeaderIsGood(img));
        EXPECT_EQ((img.GetByte(176068) >> 6) & 1, f.modelType);
        // An empty radio: no channels, repeaters or sites in use.
        EXPECT_EQ(UsedChannelCountInImage(img), 0);
        datCh ch(&img);
        for (int n = 0; n < 512; ++n) ASSERT_FALSE(ch.Unpack(f.modelType + 1, n).State.InUse) << n;
        for (int g = 0; g < 128; ++g) {
            ASSERT_EQ(ReadGroupItemCount(img, g, 22), 0);
            ASSERT_EQ(ReadGroupItemCount(img, g, 27), 0);
        }
        for (int s = 0; s < 48; ++s) ASSERT_EQ(ReadGroupItemCount(img, s, 31), 0);
        EXPECT_EQ(img.GetByte(WorkTables::MultisiteSiteCount), 0);
        for (int i : {0, 2559}) EXPECT_FALSE(ch.Unpack(22, i).State.InUse);
        for (int i : {0, 3839}) EXPECT_FALSE(ch.Unpack(27, i).State.InUse);
        for (int s : {0, 47}) EXPECT_FALSE(ch.Unpack(30, s).State.InUse);
        for (int i = 0; i < 1440; i += 30) EXPECT_EQ(Get16(img, 148246 + 10 * i), 0);
        // The defaults that normalisation takes over where an image has none.
        EXPECT_EQ(img.GetByte(181182), 3);
        EXPECT_GE(img.GetByte(302530), 5);
        EXPECT_GE(img.GetByte(302531), 10);
        EXPECT_NE(Get16(img, 302534), 0);
        EXPECT_NE(img.GetByte(302538) & 0xF0, 0);
        EXPECT_NE(img.GetByte(302539) & 0xF0, 0);
        EXPECT_NE(img.GetByte(181276), 0);
        EXPECT_NE(img.GetByte(182062), 0);
        for (int at : {204703, 197912, 204830, 204831, 204832, 204833, 204834, 204835, 204836, 204838, 204839, 204840})
            EXPECT_NE(img.GetByte(at), 0) << at;
        for (int at : {197856, 197858}) EXPECT_NE(Get16(img, at), 0) << at;
        for (int k = 0; k < 63; ++k) EXPECT_NE(Get16(img, 204704 + 2 * k), 0) << k;
        for (int at : {197864, 197868}) EXPECT_TRUE(Get16(img, at) >= 1 && Get16(img, at) <= 65519) << at;
        for (int at : {197866, 197870}) EXPECT_TRUE(Get16(img, at) >= 1 && Get16(img, at) <= 2000) << at;
        // Factory settings within the ranges of their cells.
        EXPECT_TRUE(img.GetByte(35) + 11 >= 12 && img.GetByte(35) + 11 <= 23);
        EXPECT_TRUE(img.GetByte(64) >= img.GetByte(65) + 7 && img.GetByte(64) <= 245);
        EXPECT_TRUE(img.GetByte(65) >= img.GetByte(66) + 1);
        EXPECT_TRUE(img.GetByte(67) >= img.GetByte(68) + 25 && img.GetByte(67) <= 241);
        EXPECT_TRUE(img.GetByte(68) >= img.GetByte(69) + 1);
        EXPECT_TRUE(img.GetByte(70) >= img.GetByte(71) + 7 && img.GetByte(70) <= 245);
    }
}

TEST_F(InitialFixture, PackBackAndPassTheHeaderChecks)
{
    for (const ModelFile& f : kFiles) {
        SCOPED_TRACE(f.name);
        Load(f);
        current.image = initial;
        ASSERT_EQ(Pack(current.image), kPackOk);
        EXPECT_TRUE(HeaderIsGood(current.image));
        EXPECT_EQ(DynamicBase(current.image), 512u);
        PtblEntry e;
        EXPECT_TRUE(FindTable(current.image, 8, e));
        EXPECT_EQ(FindTable(current.image, 113, e), f.modelType == 0);
    }
}

TEST_F(InitialFixture, SaveAndOpenKeepTheModelTypeAndTheTables)
{
    qmtest::TempDir dir;
    for (const ModelFile& f : kFiles) {
        SCOPED_TRACE(f.name);
        Load(f);
        // New document, a channel added, saved.
        current.image = initial;
        cmcEeprom& doc = current.image;
        Pack(doc);
        Put16(doc, WorkTables::BankCounts, 1);
        Put32(doc, 130944, 146520000);
        // A ZEPH ring-back timer of 3 s, set.
        doc.SetByte(303616, 3);
        doc.SetByte(243067, doc.GetByte(243067) | 0x80);
        ASSERT_EQ(Pack(doc), kPackOk);
        PrepareImageForOutput(doc, kBeforeOutput, false);
        ASSERT_EQ(Pack(doc), kPackOk);
        cmcIcfFile out;
        out.SetImage(&doc);
        out.SetModelCode(0x7143);
        out.SetMapRev(1);
        out.SetAdrBit(32);
        ASSERT_EQ(out.Save(dir.File("doc.icf"), kCloneMemory), kIcfOk);
        const cmcEeprom saved = doc;

        // Opened again: the defaults, the file's clone memory, unpacked.
        cmcEeprom scratch = MakeImage();
        ASSERT_EQ(LoadChecked(dir.File("doc.icf"), scratch), kIcfOk);
        EXPECT_TRUE(HeaderIsGood(scratch));
        doc = initial;
        PackPlain(doc);
        std::memcpy(doc.Data(), scratch.Data(), EepromMap::CloneSize);
        Dynamic2Static(doc);
        EXPECT_EQ((doc.GetByte(176068) >> 6) & 1, f.modelType);
        PrepareImageForOutput(doc, kAfterLoad, false);
        for (int a = EepromMap::WorkStart; a < EepromMap::WorkEnd; ++a)
            EXPECT_EQ(doc.GetByte(a), saved.GetByte(a)) << "working byte " << a;
        EXPECT_EQ(ReadBankChannelCount(doc, 0), 1);
    }
}
