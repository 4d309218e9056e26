#include "core/CellNames.h"
#include "core/cmcHash.h"
#include "tests/support/TestSupport.h"

#include <string>
#include <vector>

TEST(cmcHash, BucketOfAKey)
{
    struct Case {
        std::string key;
        unsigned buckets;
        unsigned bucket;
    };
    const std::vector<Case> cases = {
        {"A", 1031, 580},    // 515 + 65
        {"AB", 1031, 710},   // 'B' is even: the step stays 515
        {"AC", 1031, 453},   // 'C' is odd: the step halves to 257 before it
        {"aaa", 4, 3},       // the step halves to 0 and starts again at 2
        {"\xE9", 101, 27},   // a byte above 0x7F counts as negative (-23)
        {"\xE9", 3, 0},      // 1 - 23 wraps to 2^32 - 22 before the modulo
        {"CL_Digi_Expert_Compati_GPSTypeBMes", 1031, 647}, // the sum wraps at 32 bits
        {"", 1031, 0},
    };
    for (const Case& c : cases) {
        cmcHash hash(c.buckets);
        EXPECT_EQ(hash.HashOf(c.key), c.bucket) << c.key << " in " << c.buckets;
        EXPECT_EQ(cmcHash::HashKey(c.key, c.buckets), c.bucket);
    }
    EXPECT_EQ(cmcHash().BucketCount(), 1031u);
    EXPECT_EQ(cmcHash(0).HashOf("AC"), 453u);
}

TEST(cmcHash, InsertsAtTheFrontFindsExactKeysAndRefusesADuplicate)
{
    cmcHash hash(1); // one bucket: every key shares the chain
    hash.Insert("first", 1);
    hash.Insert("second", 2);
    hash.Insert("", 3);
    const cmcHash::Node* second = hash.Find("second");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->value, 2);
    EXPECT_EQ(second->next, hash.Find("first"));
    EXPECT_EQ(hash.Find("")->next, second);
    EXPECT_EQ(hash.Find("first")->value, 1);
    EXPECT_EQ(hash.Find("First"), nullptr);
    EXPECT_EQ(hash.Find("firs"), nullptr);
    EXPECT_EQ(hash.Find("first "), nullptr);

    EXPECT_EQ(qmtest::FatalMessage([&] { hash.Insert("second", 9); }), "Overlapped Hash table.");
    EXPECT_EQ(hash.Find("second")->value, 2);
}

TEST(CellNames, EmptyNamesNeedNoTableAndLoadNothing)
{
    DestroyNameHash();
    EXPECT_EQ(CategoryIndex(""), 41);
    EXPECT_EQ(CellLabelIndex(""), 1396);
    EXPECT_EQ(CT_NoCategory, 41);
    EXPECT_EQ(CL_NoLabel, 1396);
    // The first real lookup of each kind still loads its names.
    EXPECT_EQ(CellLabelIndex("CL_Null"), 0);
    EXPECT_EQ(CategoryIndex("CT_CHGRP"), 40);
}

TEST(CellNames, CategoryNamesAndValues)
{
    struct Case {
        const char* name;
        int value;
    };
    const std::vector<Case> cases = {
        {"CT_Null", CT_Null},           {"CT_PopupMenu", 1},     {"CT_Mch", CT_Mch},
        {"CT_2ToneTX_Common", 12},      {"CT_MSK_TimingErr", 20}, {"CT_DIG_Inv", 22},
        {"CT_Ltr_Op", CT_Ltr_Op},       {"CT_ZEPH_Rpt", 33},     {"CT_Multisite_Tg", 39},
        {"CT_CHGRP", 40},
    };
    for (const Case& c : cases) EXPECT_EQ(CategoryIndex(c.name), c.value) << c.name;
    EXPECT_EQ(CT_Mch, 2);
    EXPECT_EQ(CT_Ltr_Op, 28);
    EXPECT_EQ(CT_CHGRP, 40);
}

TEST(CellNames, LabelNamesAndValuesOverTheWholeRange)
{
    struct Case {
        const char* name;
        int enumerator;
        int value;
    };
    const std::vector<Case> cases = {
        {"CL_Null", CL_Null, 0},
        {"Flex0", Flex0, 1},
        {"FlexZoneSel_ChGrp_Chfunc", FlexZoneSel_ChGrp_Chfunc, 9},
        {"CL_Model_KovrPmr_Mob", CL_Model_KovrPmr_Mob, 53},
        {"CallSheet", CallSheet, 63},
        {"CL_Langage_Select", CL_Langage_Select, 92},
        {"CL_PMenu_Edit", CL_PMenu_Edit, 111},
        {"CL_PMenu_WinCopy", CL_PMenu_WinCopy, 120},
        {"CL_Mch_FreqR", CL_Mch_FreqR, 164},
        {"CL_Msk_Msg_Status_Rriority", CL_Msk_Msg_Status_Rriority, 270},
        {"CL_Digi_Ind_Op_Disp_RecieveUId", CL_Digi_Ind_Op_Disp_RecieveUId, 342},
        {"CL_Digi_Expert_PowerDown", CL_Digi_Expert_PowerDown, 488},
        {"CL_Rpt_ZEPH_Phone", CL_Rpt_ZEPH_Phone, 515},
        {"CL_KDisp_Key_SmTr_ExtEmr", CL_KDisp_Key_SmTr_ExtEmr, 629},
        {"CL_Comm_Strv_RevAll", CL_Comm_Strv_RevAll, 770},
        {"CL_CEdit_Mob", CL_CEdit_Mob, 828},
        {"CL_5TTx_DispDigit0", CL_5TTx_DispDigit0, 970},
        {"CL_Maker_ClShift", CL_Maker_ClShift, 1021},
        {"CL_Maker_RollStart_RX", CL_Maker_RollStart_RX, 1023},
        {"CL_Maker_mRSSISR", CL_Maker_mRSSISR, 1131},
        {"CL_Mdc_Emg_Ack_Delay", CL_Mdc_Emg_Ack_Delay, 1285},
        {"Flex_NACList_ChNo", Flex_NACList_ChNo, 1291},
        {"CL_AAR_CTone_T", CL_AAR_CTone_T, 1328},
        {"FlexZoneSelNumEmer", FlexZoneSelNumEmer, 1372},
        {"CL_Digi_Expert_Compati_GPSTypeBMes", CL_Digi_Expert_Compati_GPSTypeBMes, 1395},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.enumerator, c.value) << c.name;
        EXPECT_EQ(CellLabelIndex(c.name), c.value) << c.name;
        EXPECT_EQ(CellLabelName(c.value), c.name);
    }
    // Every named value comes back from its name through the shared table.
    int named = 0;
    for (int value = 0; value < 1396; ++value) {
        const std::string name = CellLabelName(value);
        if (name.empty()) continue;
        ++named;
        EXPECT_EQ(CellLabelIndex(name), value) << name;
    }
    EXPECT_EQ(named, 1395);
    for (int value : {1022, -1, 1396, -1000000, 1000000}) EXPECT_EQ(CellLabelName(value), "") << value;
}

TEST(CellNames, UnknownNamesAndNamesOfTheOtherKindAreFatal)
{
    // Both load orders: the kinds must stay apart once both are in the table.
    for (bool labelsFirst : {false, true}) {
        DestroyNameHash();
        if (labelsFirst) CellLabelIndex("Flex0");
        for (const char* name : {"CT_MCH", "ct_mch", "CT_Mch ", "CL_Mch_FreqR", "CallSheet", "CT_NoCategory"}) {
            EXPECT_EQ(qmtest::FatalMessage([&] { CategoryIndex(name); }),
                      std::string("Cannot use the specified category.\n'") + name + "'");
        }
        for (const char* name : {"callsheet", "CL_NULL", "CT_Mch", "CT_Null", "CL_NoLabel", "Flex0\t"}) {
            EXPECT_EQ(qmtest::FatalMessage([&] { CellLabelIndex(name); }),
                      std::string("Cannot use the specified cell.\n'") + name + "'");
        }
        EXPECT_EQ(CategoryIndex("CT_Mch"), 2);
        EXPECT_EQ(CellLabelIndex("CallSheet"), 63);
    }
}
