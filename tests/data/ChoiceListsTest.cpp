// The choice lists and pickers: every list holds an entry for each value that
// the field behind it can hold but those left out with their reason (or, for
// wide fields, the values the cells store and nothing outside the field),
// each value once; the program's
// value-label cache reads the entries as listed; lists that must agree do;
// pickers repeat their row through a loop.
#include "tests/data/OverlayFile.h"

#include "core/cmcFCache.h"

#include <gtest/gtest.h>

#include <map>
#include <numeric>
#include <sstream>

namespace {

using ovl::Language;

struct ListSpec {
    const char* key;
    int label;
    std::vector<int> must; // values the field can hold that need an entry
    int bound;             // every value lies below it
    bool exact;            // the entries are exactly the values of must
    const char* leftOut = nullptr; // why the field's other values have no entry
};

std::vector<int> Range(int first, int last)
{
    std::vector<int> values(static_cast<size_t>(last - first + 1));
    std::iota(values.begin(), values.end(), first);
    return values;
}

// A field of n bits: every value has an entry.
ListSpec Bits(const char* key, int n, int label = Flex0) { return {key, label, Range(0, (1 << n) - 1), 1 << n, true}; }
// Exactly these values.
ListSpec Exactly(const char* key, std::vector<int> values, int label = Flex0)
{
    int bound = *std::max_element(values.begin(), values.end()) + 1;
    return {key, label, std::move(values), bound, true};
}
// A field of n bits whose values have an entry each but for those the radio
// gives no meaning; a stored value left out shows "error".
ListSpec Field(const char* key, int n, std::vector<int> values, const char* leftOut, int label = Flex0)
{
    return {key, label, std::move(values), 1 << n, true, leftOut};
}
// A wide field: these values at least, nothing at or above the bound.
ListSpec AtLeast(const char* key, std::vector<int> values, int bound, int label = Flex0)
{
    return {key, label, std::move(values), bound, false};
}

const std::vector<ListSpec>& Specs()
{
    static const std::vector<ListSpec> specs = [] {
        std::vector<ListSpec> s;
        // One-bit fields.
        for (const char* key :
             {"GI_Sheet_Digital_CallAlert_Bell", "GI_Sheet_Emergency_ScanCacnel", "GI_Sheet_Sel_2TRxC_Group",
              "GI_Sheet_Sel_2TRxC_Type", "GI_Sheet_Sel_AAR_ChMute", "GI_Sheet_Sel_AutoTx_MicSel",
              "GI_Sheet_Sel_Bank_SelBankFree", "GI_Sheet_Sel_BattChangeType", "GI_Sheet_Sel_Comm_Ctcss_BurstType",
              "GI_Sheet_Sel_Comm_PA_Output", "GI_Sheet_Sel_Comm_RxAfSw", "GI_Sheet_Sel_Comm_Sairen",
              "GI_Sheet_Sel_Comm_Scrm_Type", "GI_Sheet_Sel_Comm_Silent", "GI_Sheet_Sel_Comm_Wide",
              "GI_Sheet_Sel_Compati_GPSTypeBMes", "GI_Sheet_Sel_DTMFDecInputSet", "GI_Sheet_Sel_Dig_Option_CallType",
              "GI_Sheet_Sel_Dig_Option_TalkgroupID", "GI_Sheet_Sel_Dig_RMONI_Mode", "GI_Sheet_Sel_Dig_Stun_Mode",
              "GI_Sheet_Sel_Dig_Talk_Back_RX_Type", "GI_Sheet_Sel_DigiKeyMode_Text", "GI_Sheet_Sel_Exp_ChMuteCont",
              "GI_Sheet_Sel_Exp_DtcsInv", "GI_Sheet_Sel_KDisp_DTMFDecoder_Select", "GI_Sheet_Sel_KDisp_Lines",
              "GI_Sheet_Sel_KDisp_RfPwr", "GI_Sheet_Sel_KDisp_RotaryTG", "GI_Sheet_Sel_LsdDecode",
              "GI_Sheet_Sel_Ltr_TA_OutRange", "GI_Sheet_Sel_Maker_DtcsPolar", "GI_Sheet_Sel_Mch_CH_TxInh",
              "GI_Sheet_Sel_Mch_ChInh", "GI_Sheet_Sel_Mch_ChMuteLtr", "GI_Sheet_Sel_Mch_DataWriteInh",
              "GI_Sheet_Sel_Mch_LTone", "GI_Sheet_Sel_Mch_Msk_Signal_Pmr", "GI_Sheet_Sel_Mch_Nar",
              "GI_Sheet_Sel_Mch_ScanInc", "GI_Sheet_Sel_Mch_Scan_ListSel", "GI_Sheet_Sel_Misc_Enable",
              "GI_Sheet_Sel_Misc_Enable2", "GI_Sheet_Sel_Misc_Enable3", "GI_Sheet_Sel_Misc_Enable4",
              "GI_Sheet_Sel_Misc_Enable_I", "GI_Sheet_Sel_Misc_HiLow", "GI_Sheet_Sel_Misc_OnOff",
              "GI_Sheet_Sel_Misc_OnOff2", "GI_Sheet_Sel_Misc_OnOff2_I", "GI_Sheet_Sel_Misc_OnOff_I",
              "GI_Sheet_Sel_Misc_Phone", "GI_Sheet_Sel_Misc_YesNo_I", "GI_Sheet_Sel_MonitorKey_Action",
              "GI_Sheet_Sel_Msk_PreEmphasis", "GI_Sheet_Sel_Msk_PttSideTone", "GI_Sheet_Sel_OAA_RX_TxtPrio",
              "GI_Sheet_Sel_Polarity", "GI_Sheet_Sel_Rpt_Atr", "GI_Sheet_Sel_SDECMethodSet", "GI_Sheet_Sel_ScanTXAct",
              "GI_Sheet_Sel_UserSetEnable", "GI_Sheet_Sel_Mdc_System_Alias_List"})
            s.push_back(Bits(key, 1));
        for (const char* key : {"GI_Sheet_Sel_Mch_Call", "GI_Sheet_Sel_Mch_ChMute", "GI_Sheet_Sel_Mch_Ptt", "GI_Sheet_Sel_Mch_SendStatus"})
            s.push_back(Bits(key, 1, FlexMark));
        // Two-bit fields and values composed of two bits.
        for (const char* key :
             {"GI_Sheet_CL_Comm_ChGrp_Type", "GI_Sheet_Sel_Comm_PIO23_Select", "GI_Sheet_Sel_Comm_Scrm_GroupCode",
              "GI_Sheet_Sel_Comm_Scrm_SyncCapture", "GI_Sheet_Sel_Comm_Scrm_ToneStartTiming",
              "GI_Sheet_Sel_Comm_SetModeAccess", "GI_Sheet_Sel_Compati_DataType", "GI_Sheet_Sel_DemphSetting",
              "GI_Sheet_Sel_Dig_Option_CallInfoDisp", "GI_Sheet_Sel_Dig_Option_RoamingHomePriority",
              "GI_Sheet_Sel_Dig_Option_UnitID", "GI_Sheet_Sel_Dig_Status_CallType", "GI_Sheet_Sel_Exp_ClShift",
              "GI_Sheet_Sel_ForcedNarChange", "GI_Sheet_Sel_GPS_FixedID", "GI_Sheet_Sel_KDisp_Opening_Beep",
              "GI_Sheet_Sel_Maker_PllType", "GI_Sheet_Sel_Mch_AutoReset_Lmr", "GI_Sheet_Sel_Mch_AutoReset_Pmr",
              "GI_Sheet_Sel_Mch_Dig_Signal", "GI_Sheet_Sel_Mch_Pos", "GI_Sheet_Sel_Mch_RfPwr", "GI_Sheet_Sel_Mch_SQL_Type",
              "GI_Sheet_Sel_Mch_ScramOn", "GI_Sheet_Sel_Mch_ScramType", "GI_Sheet_Sel_Msk_ANI_Disp",
              "GI_Sheet_Sel_Msk_GpsSentence", "GI_Sheet_Sel_Power_Switch", "GI_Sheet_Sel_PwrOnScan",
              "GI_Sheet_Sel_Rotary_Lock",
              "GI_Sheet_Sel_ScanList_Text", "GI_Sheet_Sel_Vote_Check_BeforeRSSI"})
            s.push_back(Bits(key, 2));
        s.push_back(Bits("GI_Sheet_Sel_Mch_Sel", 2, FlexMark));
        // Three-bit values.
        for (const char* key : {"GI_Sheet_Sel_HookOffSuspend", "GI_Sheet_Sel_MrCode", "GI_Sheet_Sel_MrCodeLmr",
                                "GI_Sheet_Sel_Comm_RS232C_Mode", "GI_Sheet_Sel_Dig_Option_ShortcutCallType"})
            s.push_back(Bits(key, 3));
        // The beep list also serves three-bit ringer fields.
        s.push_back(Field("GI_Sheet_Sel_RxC_Beep", 4, Range(0, 7), "eight beeps"));
        // Two-bit record fields.
        for (const char* key : {"GI_Sheet_Sel_RxC_Bell", "GI_Sheet_Sel_Msk_IdGroup_Bell"}) s.push_back(Bits(key, 2));
        for (const char* key : {"GI_Sheet_Sel_RxC_Aud", "GI_Sheet_Sel_RxC_Scan"})
            s.push_back(Field(key, 2, {0, 1}, "the decoder's audio and scan switches are off or on"));
        s.push_back(Bits("GI_Sheet_Sel_Msk_StatusMessPrio", 1));
        // Nibbles.
        s.push_back(Bits("GI_Sheet_Mdc_CallAlert_Beep_Rep", 4));
        s.push_back(Bits("GI_Sheet_Sel_Mch_Form", 4));
        for (const char* key :
             {"GI_Sheet_Mdc_General_Log_Action_Type", "GI_Sheet_Sel_Comm_Stun_Type", "GI_Sheet_Sel_Dig_CallLog_LogActType",
              "GI_Sheet_Sel_MDC_Beep_Type", "GI_Sheet_Sel_Mch_Log_Lmr", "GI_Sheet_Sel_Mch_Log_Pmr", "GI_Sheet_Sel_RxC_Stun",
              "GI_Sheet_Sel_RxC_Stun_Dtmf"})
            s.push_back(Field(key, 4, Range(0, 3), "the radio knows four settings"));
        s.push_back(Field("GI_Sheet_Mdc_Status_Mute_Type", 4, Range(0, 2), "the radio knows three mute types"));
        s.push_back(Field("GI_Sheet_Sel_Dig_Option_MultisiteMonitorType", 4, Range(0, 4), "the radio knows five monitor types"));
        s.push_back(Field("GI_Sheet_Sel_SetM_Mob_Backlight", 4, Range(0, 5), "the backlight has six settings"));
        s.push_back(Field("GI_Sheet_Sel_Comm_RS232C_SPEED", 4, Range(0, 7), "the ports run at eight speeds"));
        s.push_back(Field("GI_Sheet_Sel_SetM_VoxDelay", 4, Range(0, 9), "the VOX delay has ten steps"));
        s.push_back(Field("GI_Sheet_Sel_SetM_VoxGain", 4, Range(0, 10), "the VOX gain has eleven steps"));
        // MSK signalling channels want monitor types 6 and 7.
        s.push_back(Field("GI_Sheet_Sel_Mch_Moni", 4, Range(0, 7), "the radio knows eight monitor types", FlexMark));
        // Five-bit fields.
        s.push_back(Field("GI_Sheet_Sel_Mch_Lockout_LmrP25", 5, Range(0, 5), "six busy lockout modes on LMR radios"));
        s.push_back(Field("GI_Sheet_Sel_Mch_Lockout_Pmr", 5, Range(0, 4), "five busy lockout modes on PMR radios"));
        s.push_back(Field("GI_Sheet_Sel_ScanCancelCH", 5, Range(0, 4), "five channels a cancelled scan returns to"));
        s.push_back(Field("GI_Sheet_Sel_KDisp_Tenkey", 5, {0, 1, 2, 4, 8, 16}, "one bit for each ten-key mode, one at a time"));
        s.push_back(Field("GI_Sheet_Sel_KDisp_Tenkey_Normal", 5, {0, 1, 2, 4, 8},
                          "one bit for each ten-key mode, one at a time; LMR radios lack the fifth"));
        // The scan cells tell modes 0, 2 (priority) and 17 apart.
        s.push_back(Field("GI_Sheet_Sel_ScanMode", 5, {0, 1, 2, 17}, "modes 0 to 2, and the vote scan as 17"));
        // Bytes.
        for (const char* key :
             {"GI_Sheet_Sel_Comm_PWR_Mode", "GI_Sheet_Sel_KDisp_MenuAccess", "GI_Sheet_Sel_EncryptionList",
              "GI_Sheet_Sel_Mch_DTMF_Dec", "GI_Sheet_Sel_Mch_Mdc_System_List", "GI_Sheet_Sel_SetM_MicGain",
              "GI_Sheet_Sel_SetM_SqlLev", "GI_Sheet_Sel_Dig_Simul_Send_Status_Num", "GI_Sheet_Sel_Dig_Status_PowerStatus",
              "GI_Sheet_Sel_MSK_Country_Code", "GI_Sheet_Sel_Mch_Msk_ID", "GI_Sheet_Sel_RxC_Aux"})
            s.push_back(AtLeast(key, {0}, 256));
        s.push_back(AtLeast("GI_Sheet_Sel_RxC_Aux2", {0}, 256));
        s.push_back(AtLeast("GI_Sheet_Sel_Mch_2Tone", {0}, 128));
        s.push_back(AtLeast("GI_Sheet_Sel_RxC_EmgCode", {0}, 128, Flex1));
        // The 17 scan lists.
        s.push_back(Exactly("GI_Sheet_CL_Comm_ChGrp_ScanList", Range(0, 16)));
        s.push_back(AtLeast("GI_Sheet_Sel_Mch_Scan_List", Range(0, 16), 256));
        // Lists with a meaning of their own.
        s.push_back(Exactly("GI_Sheet_Sel_Mch_CTone", Range(0, 52)));
        s.push_back(Exactly("GI_Sheet_Sel_Atr_HomeSite", {0, 1, 2}));
        // A ZEPH repeater is one of its bank's two homes at most: making it
        // the second releases the first, so both at once is not offered.
        s.push_back(Exactly("GI_Sheet_Sel_Rpt_Atr_ZEPH", {0, 1, 2}));
        // Likewise a site's repeater collects as the first or the second.
        s.push_back(Exactly("GI_Sheet_Sel_Rpt_AtrC_Multisite", {0, 1, 2}));
        s.push_back(Exactly("GI_Sheet_Mdc_Status_No_Sel", Range(0, 16)));
        s.push_back(Exactly("GI_Sheet_Sel_RxC_Aux_Act", {0, 1, 2}, FlexRxCodeAUX));
        s.push_back(Exactly("GI_Sheet_Sel_KDisp_KeyOpt_HL", {0, 1}, FlexKeyOpt));
        s.push_back(Exactly("GI_Sheet_Sel_KDisp_KeyESpkr2", {0, 1}, FlexKeyOpt));
        s.push_back(Exactly("GI_Sheet_Sel_RxC_AbcCode", Range(1, 32), Flex1));
        s.push_back(AtLeast("GI_Sheet_Sel_RxC_AbcSel", {0, 1}, 256));
        s.push_back(AtLeast("GI_Sheet_Sel_Mch_Msk_Rpt_1st_Pmr", {0, 1, 255}, 256));
        s.push_back(AtLeast("GI_Sheet_Sel_Mch_Msk_Rpt_2nd", {1}, 255, Flex1));
        // A stored 0 is shown as 1.
        s.push_back(Exactly("GI_Sheet_Sel_Batt_RfPwr", {1, 2, 3}));
        // Bit 0 of the rotary value is never stored.
        s.push_back(AtLeast("GI_Sheet_Sel_KDisp_Rotary", {0}, 7));
        s.push_back(Exactly("GI_Sheet_Sel_SetM_BeepLev", [] {
            std::vector<int> v = Range(0, 15);
            for (int n = 100; n <= 115; ++n) v.push_back(n);
            return v;
        }()));
        for (const char* key : {"GI_Sheet_Sel_Mch_Atr", "GI_Sheet_Sel_Mch_Atr2", "GI_Sheet_Sel_Mch_Atr3"})
            s.push_back(AtLeast(key, {0}, 9));
        s.push_back(AtLeast("GI_Sheet_Sel_Mch_EDivert", {0, 2}, 3, FlexMark));
        // A PMR radio and the last LMR bank keep no divert target channel: no mode 2.
        s.push_back(Exactly("GI_Sheet_Sel_Mch_EDivert2", {0, 1}, FlexMark));
        for (const char* key : {"GI_Sheet_Sel_ScanPrio1CH", "GI_Sheet_Sel_ScanPrio2CH", "GI_Sheet_Sel_ScanTXCH"})
            s.push_back(Exactly(key, Range(0, 5), FlexMark));
        // Trunk type codes: 16 multisite, 8 ZEPH, 4 vote zone, 2 LTR, 1 SmarTrunk.
        s.push_back(AtLeast("GI_Sheet_Sel_Bank_TrunkType", {0, 1, 2, 4, 8, 16}, 32));
        s.push_back(AtLeast("GI_Sheet_Sel_Bank_TrunkType2", {0, 1, 4, 5}, 32));
        // The five MDC systems' function blocks.
        for (const char* key :
             {"GI_Sheet_Sel_Mdc_System_General_List", "GI_Sheet_Sel_Mdc_System_PttId_List", "GI_Sheet_Sel_Mdc_System_Selcall_List",
              "GI_Sheet_Sel_Mdc_System_CallAlert_List", "GI_Sheet_Sel_Mdc_System_RadioChk_List", "GI_Sheet_Sel_Mdc_System_Stun_List",
              "GI_Sheet_Sel_Mdc_System_Revive_List", "GI_Sheet_Sel_Mdc_System_Emg_List", "GI_Sheet_Sel_Mdc_System_Status_List",
              "GI_Sheet_Sel_Mdc_System_Message_List"})
            s.push_back(Exactly(key, Range(0, 4)));
        // Key functions: 0 is no function; 100 is the key-bank function of the
        // P keys; 94 the standard function of the external emergency input.
        for (const char* key : {"GI_Sheet_Sel_Keys_Conv_Lmr", "GI_Sheet_Sel_Keys_Conv_Pmr", "GI_Sheet_Sel_Keys_Conv_LmrB2",
                                "GI_Sheet_Sel_Keys_Conv_PmrB2"})
            s.push_back(AtLeast(key, {0, 100}, 256));
        for (const char* key : {"GI_Sheet_Sel_Keys_Conv_Lmr_Ext_Emer", "GI_Sheet_Sel_Keys_Conv_Pmr_Ext_Emer",
                                "GI_Sheet_Sel_KDisp_Key_SmTr_Ext_Emer"})
            s.push_back(AtLeast(key, {94}, 256));
        for (const char* key : {"GI_Sheet_Sel_KDisp_Key_SmTr", "GI_Sheet_Sel_Dials_Conv", "GI_Sheet_Sel_Dials_Conv_KovrPmr",
                                "GI_Sheet_Sel_KDisp_Dial_SmTr", "GI_Sheet_Sel_KDisp_Key_LmrPopup",
                                "GI_Sheet_Sel_KDisp_Key_PmrPopup", "GI_Sheet_Sel_KDisp_Key_SmTrPopup"})
            s.push_back(AtLeast(key, {0}, 256));
        // The character table: the user characters and the radio's character set.
        s.push_back(Exactly("GI_Sheet_Sel_Text", Range(16, 255)));
        return s;
    }();
    return specs;
}

// Pickers: sheets whose row repeats through a loop, with the label that the
// handler picks by and the loop that counts the rows.
struct PickerSpec {
    const char* key;
    int label;
    const char* loop; // "LoopFrom": counted by the sheet code of the picker
};

const PickerSpec Pickers[] = {
    {"GI_Sheet_Sel_ScanZoneSel", FlexZoneSel, "LoopFrom"},
    {"GI_Sheet_Sel_GPSZoneSel", FlexZoneSel_GPS_Zonefunc, "LoopFrom"},
    {"GI_Sheet_Sel_ChGrpChfuncSel", FlexZoneSel_ChGrp_Chfunc, "LoopFrom"},
    {"GI_Sheet_Sel_ChGrpZonefuncSel", FlexZoneSel_ChGrp_Zonefunc, "LoopFrom"},
    {"GI_Sheet_Sel_ScanCHSel", FlexCHSel, "LoopFrom"},
    {"GI_Sheet_Sel_DIG_INDList", Flex_InvIDList_ChNo, "LoopFrom"},
    {"GI_Sheet_Sel_Language", Flex_Language_ChNo, "LoopFrom"},
    {"GI_Sheet_Sel_ZoneSel", FlexZoneSel, "EDivert_Zone_List"},
    {"GI_Sheet_Sel_CHSel", FlexCHSel, "EDivert_CH_List"},
    {"GI_Sheet_Sel_IndList", Flex_InvIDList_ChNo, "Ind List"},
    {"GI_Sheet_Sel_IndList_ZEPH", Flex_InvIDList_ZEPH_ChNo, "ZEPH Ind List"},
    {"GI_Sheet_Sel_IndList_Multisite", Flex_InvIDList_Multisite_ChNo, "Multisite Ind List"},
    {"GI_Sheet_Sel_DIG_INDList_ZEPH", Flex_InvIDList_ZEPH_ChNo, "ZEPH Ind List"},
    {"GI_Sheet_Sel_DIG_INDList_Multisite", Flex_InvIDList_Multisite_ChNo, "Multisite Ind List"},
    {"GI_Sheet_Sel_TGList", Flex_TgIDList_ChNo, "TG List"},
    {"GI_Sheet_Sel_TGList_ZEPH", Flex_TgIDList_ZEPH_ChNo, "ZEPH TG List"},
    {"GI_Sheet_Sel_TGList_Multisite", Flex_TgIDList_Multisite_ChNo, "Multisite TG List"},
};

// The ID lists that a typed number is matched against.
constexpr int kIdListEntries = 500;
bool WrittenOut(const std::string& key)
{
    return key.find("IndList") != std::string::npos || key.find("TGList") != std::string::npos ||
           key == "GI_Sheet_Sel_DIG_INDList_ZEPH" || key == "GI_Sheet_Sel_DIG_INDList_Multisite";
}

class ChoiceLists : public ::testing::Test {
protected:
    ovl::LanguageTable table;
};

TEST_F(ChoiceLists, EveryListHoldsTheValuesItsFieldCanStoreOnceEach)
{
    for (const ListSpec& spec : Specs()) {
        SCOPED_TRACE(spec.key);
        ASSERT_TRUE(Language().Has(std::string(spec.key) + "_Cells"));
        std::vector<ovl::ListEntry> entries = ovl::ListEntries(spec.key, spec.label);
        std::set<int> values;
        for (const ovl::ListEntry& e : entries) {
            EXPECT_TRUE(values.insert(e.Value).second) << "value " << e.Value << " twice";
            EXPECT_GE(e.Value, 0);
            EXPECT_LT(e.Value, spec.bound) << "value " << e.Value << " does not fit the field";
            // The character table's cells show the character itself.
            if (std::string(spec.key) != "GI_Sheet_Sel_Text") {
                EXPECT_FALSE(e.Text.empty()) << "value " << e.Value << " has no text";
            }
        }
        for (int v : spec.must) EXPECT_TRUE(values.count(v)) << "no entry for value " << v;
        if (spec.exact) {
            EXPECT_EQ(values.size(), spec.must.size())
                << "entries beyond the values of the field" << (spec.leftOut ? std::string(" (") + spec.leftOut + ")" : "");
        }
    }
}

TEST_F(ChoiceLists, ListsHoldOnlyTheirEntryCells)
{
    // Any other labelled cell in a list would be a cell the engine runs, not
    // an entry; the tone list's DTCS entry is the one that opens the editor.
    std::map<std::string, std::set<int>> extra = {{"GI_Sheet_Sel_Mch_CTone", {FlexDtcs}}};
    for (const ListSpec& spec : Specs()) {
        if (std::string(spec.key) == "GI_Sheet_Sel_Text") continue;
        CellCounters counters{};
        for (const std::string& line : Language().Section(std::string(spec.key) + "_Cells")) {
            for (const cmcCellObj& cell : ovl::ParseRow(line, nullptr, &counters)) {
                if (cell.Label == CL_NoLabel || cell.Label == spec.label) continue;
                EXPECT_TRUE(extra[spec.key].count(cell.Label)) << spec.key << ": " << CellLabelName(cell.Label) << " in " << line;
            }
        }
    }
    std::vector<ovl::ListEntry> dtcs = ovl::ListEntries("GI_Sheet_Sel_Mch_CTone", FlexDtcs);
    ASSERT_EQ(dtcs.size(), 1u);
    EXPECT_EQ(dtcs[0].Value, 53);
}

TEST_F(ChoiceLists, TheProgramsCacheShowsEveryEntry)
{
    cmcFCache cache;
    for (const ListSpec& spec : Specs()) {
        for (const ovl::ListEntry& e : ovl::ListEntries(spec.key, spec.label))
            EXPECT_EQ(cache.GetLabel(spec.key, spec.label, e.Value), e.Text) << spec.key << " value " << e.Value;
        int outside = spec.bound;
        EXPECT_EQ(cache.GetLabel(spec.key, spec.label, outside), "error") << spec.key;
    }
}

TEST_F(ChoiceLists, EveryListSheetOfTheFileIsChecked)
{
    // A new list needs its values here; pages and pickers are checked
    // elsewhere.
    std::set<std::string> known;
    for (const ListSpec& spec : Specs()) known.insert(spec.key);
    for (const PickerSpec& p : Pickers) known.insert(p.key);
    for (const std::string& sheet : Language().KeysWithSuffix("_Cells")) {
        bool isList = sheet.rfind("GI_Sheet_Sel_", 0) == 0 || sheet.rfind("GI_Sheet_CL_", 0) == 0 ||
                      sheet.rfind("GI_Sheet_Mdc_", 0) == 0 || sheet == "GI_Sheet_Digital_CallAlert_Bell" ||
                      sheet == "GI_Sheet_Emergency_ScanCacnel";
        if (isList) {
            EXPECT_TRUE(known.count(sheet)) << sheet;
        }
    }
}

TEST_F(ChoiceLists, KeyFunctionNamesAgreeAndTheHelpListsNameEveryAssignableFunction)
{
    // The help looks up the name of an assigned function in the pop-up lists,
    // so they name every function that the key lists can store, with the
    // same name.
    struct Family {
        const char* help;
        std::vector<const char*> lists;
    };
    const Family families[] = {
        {"GI_Sheet_Sel_KDisp_Key_LmrPopup",
         {"GI_Sheet_Sel_Keys_Conv_Lmr", "GI_Sheet_Sel_Keys_Conv_LmrB2", "GI_Sheet_Sel_Keys_Conv_Lmr_Ext_Emer"}},
        {"GI_Sheet_Sel_KDisp_Key_PmrPopup",
         {"GI_Sheet_Sel_Keys_Conv_Pmr", "GI_Sheet_Sel_Keys_Conv_PmrB2", "GI_Sheet_Sel_Keys_Conv_Pmr_Ext_Emer"}},
        {"GI_Sheet_Sel_KDisp_Key_SmTrPopup", {"GI_Sheet_Sel_KDisp_Key_SmTr", "GI_Sheet_Sel_KDisp_Key_SmTr_Ext_Emer"}},
    };
    std::map<int, std::string> names; // one name for a function in every list
    for (const Family& family : families) {
        std::map<int, std::string> help;
        for (const ovl::ListEntry& e : ovl::ListEntries(family.help, Flex0)) help[e.Value] = e.Text;
        for (const char* list : family.lists) {
            for (const ovl::ListEntry& e : ovl::ListEntries(list, Flex0)) {
                EXPECT_EQ(help[e.Value], e.Text) << list << " function " << e.Value << " in " << family.help;
                auto [it, fresh] = names.emplace(e.Value, e.Text);
                EXPECT_EQ(it->second, e.Text) << list << " function " << e.Value;
            }
        }
    }
    // Function 5 takes its name from its own text.
    EXPECT_FALSE(Language().Line("GI_Sheet_Sel_KDisp_Scan_B_Key", 0).empty());
}

TEST_F(ChoiceLists, ToneNamesFollowTheToneListInOrder)
{
    std::vector<std::string> names;
    for (const std::string& line : Language().Section("GI_AppItem_Ctcss")) {
        std::stringstream parts(line);
        for (std::string name; std::getline(parts, name, ',');) names.push_back(name);
    }
    ASSERT_EQ(names.size(), 52u);
    std::map<int, std::string> entries;
    for (const ovl::ListEntry& e : ovl::ListEntries("GI_Sheet_Sel_Mch_CTone", Flex0)) entries[e.Value] = e.Text;
    for (int i = 0; i < 52; ++i) EXPECT_EQ(names[static_cast<size_t>(i)], entries[i]) << "tone " << i;
}

TEST_F(ChoiceLists, PickersRepeatTheirRowThroughTheirLoop)
{
    for (const PickerSpec& p : Pickers) {
        SCOPED_TRACE(p.key);
        for (const char* part : {"_Style", "_BasicCell", "_Cells"}) ASSERT_TRUE(Language().Has(p.key + std::string(part)));
        std::vector<std::string> lines = Language().Section(std::string(p.key) + "_Cells");
        // A fixed row first, so that the sheet keeps a row when the list is
        // empty and the loop row is left out.
        ASSERT_GE(lines.size(), 4u);
        EXPECT_NE(lines[0][0], ':');
        EXPECT_EQ(lines[1], std::string(":(") + p.loop + ")");
        EXPECT_EQ(lines[3], ":(End)");
        if (WrittenOut(p.key)) {
            // Every entry the list can hold, left out of the sheet, for the
            // typed numbers to match: entry i is the number i + 1.
            ASSERT_EQ(lines.size(), 5u + kIdListEntries);
            EXPECT_EQ(lines[4], ":(Never " + std::to_string(kIdListEntries) + ")");
            for (int i = 0; i < kIdListEntries; ++i) {
                std::vector<cmcCellObj> entry = ovl::ParseRow(lines[5 + size_t(i)], nullptr, nullptr);
                ASSERT_EQ(entry.size(), 1u) << lines[5 + size_t(i)];
                EXPECT_EQ(entry[0].Label, p.label);
                EXPECT_EQ(entry[0].Index, i);
                EXPECT_EQ(entry[0].GetText(), std::to_string(i + 1));
            }
        } else {
            EXPECT_EQ(lines.size(), 4u) << "the loop row is the last row";
        }
        // The loop row: the picked cell counts from the list's first item.
        CellCounters counters{};
        counters[0] = 7;
        std::vector<cmcCellObj> cells = ovl::ParseRow(lines[2], nullptr, &counters);
        int picked = 0;
        for (const cmcCellObj& cell : cells) {
            if (cell.Label != p.label) continue;
            ++picked;
            bool counted = std::string(p.loop) == "LoopFrom";
            EXPECT_EQ(cell.Index, counted ? 7 : 0) << lines[2];
        }
        EXPECT_EQ(picked, 1) << lines[2];
    }
}

} // namespace
