// The choice fields and timer bytes of the setting pages, family by family:
// each field's cell shows the value stored in its own bits, whatever the
// other bits of the image hold, and a picked or typed value changes those
// bits and nothing else.
// The lists are made for the test: each entry names its list and its value,
// so a cell that reads the wrong byte or bits, or opens the wrong list, shows
// the wrong text, and a cell that writes elsewhere changes another byte.
// Choices composed of bits of several bytes are probed bit by bit. Fields
// with rules of their own (dashes, values kept in two places, writes beside
// the field) are tested with their pages.
#include "cells/HandlerSupport.h"
#include "model/indMain.h"
#include "tests/cells/SettingCells.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace {

struct ListField {
    int label;
    int offset;
    int low;    // the field's lowest bit
    int width;  // its bits (8: the whole byte)
    const char* key;
};

std::string EntryText(const std::string& key, int value)
{
    const std::string prefix = "GI_Sheet_Sel_";
    const std::string name = key.rfind(prefix, 0) == 0 ? key.substr(prefix.size()) : key;
    return name + " " + std::to_string(value);
}

// The values a field's list offers: all of a narrow field, the ends and one
// between of a wide one.
std::vector<int> Values(int width)
{
    const int high = (1 << width) - 1;
    if (width <= 5) {
        std::vector<int> all;
        for (int v = 0; v <= high; ++v) all.push_back(v);
        return all;
    }
    return {0, 1, high / 2, high};
}

// One list section for each key of the fields, sized for its widest field.
std::vector<std::string> Lists(std::span<const ListField> fields)
{
    std::map<std::string, int> widths;
    for (const ListField& f : fields) widths[f.key] = std::max(widths[f.key], f.width);
    std::vector<std::string> lines;
    for (const auto& [key, width] : widths) {
        std::string line;
        for (int v : Values(width)) {
            if (!line.empty()) line += "|";
            line += "{(%Flex0[" + std::to_string(v) + "])}" + EntryText(key, v);
        }
        lines.push_back("#" + key + "_Cells");
        lines.push_back(line);
    }
    return lines;
}

// The field shows the value stored in its bits whatever the other bits
// hold, and a picked value changes its bits and nothing else: once in a
// clear image from the field's highest value to its lowest, once in a full
// one the other way.
void Probe(celltest::CellWorld& world, const ListField& f, int category = CT_Null)
{
    SCOPED_TRACE(CellLabelName(f.label));
    const int high = (1 << f.width) - 1;
    const int mask = (high << f.low) & 0xFF;
    cmcEeprom& image = world.Image();
    for (const int fill : {0x00, 0xFF}) {
        const int from = fill ? 0 : high;
        const int to = fill ? high : 0;
        image.Fill(uint8_t(fill));
        image.Data()[f.offset] = uint8_t((fill & ~mask) | (from << f.low));
        EXPECT_EQ(settingtest::Shown(f.label, 0, category), EntryText(f.key, from));
        cmcEeprom expected(image);
        expected.Data()[f.offset] = uint8_t((fill & ~mask) | (to << f.low));
        settingtest::Pick(f.label, to, Flex0, 0, category);
        EXPECT_EQ(int(image.Data()[f.offset]), int(expected.Data()[f.offset])) << "at " << f.offset;
        EXPECT_TRUE(image.Equals(expected)) << "a byte other than " << f.offset << " changed";
    }
}

// Timer bytes: a stored count of units shown in seconds, a typed time
// stored as units, and with "off" at 0 where the timer has it.
struct TimerField {
    int label;
    int offset;
    int units;  // per second
    bool offAtZero;
};

std::string Seconds(int units, int count)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", double(count) / units);
    return text;
}

void ProbeTimer(celltest::CellWorld& world, const TimerField& f)
{
    SCOPED_TRACE(CellLabelName(f.label));
    cmcEeprom& image = world.Image();
    image.Fill(0);
    if (f.offAtZero) {
        EXPECT_EQ(settingtest::Shown(f.label), "Off");
    }
    image.Data()[f.offset] = 7;
    EXPECT_EQ(Trimmed(settingtest::Shown(f.label)), Seconds(f.units, 7));
    cmcEeprom expected(image);
    expected.Data()[f.offset] = 9;
    settingtest::Typed(f.label, Seconds(f.units, 9));
    EXPECT_EQ(int(image.Data()[f.offset]), 9) << "at " << f.offset;
    EXPECT_TRUE(image.Equals(expected)) << "a byte other than " << f.offset << " changed";
}

// A choice whose value is composed of single bits, value bit 0 first.
struct ComposedField {
    int label;
    std::vector<std::pair<int, int>> bits;  // offset, bit
    const char* key;
};

std::vector<std::string> ComposedLists(std::span<const ComposedField> fields)
{
    std::vector<ListField> lists;
    for (const ComposedField& f : fields) lists.push_back({f.label, 0, 0, int(f.bits.size()), f.key});
    return Lists(lists);
}

// Each value bit alone shows as its value; picking the highest value sets
// exactly the value's bits in a clear image, picking 0 clears exactly them
// in a full one.
void ProbeComposed(celltest::CellWorld& world, const ComposedField& f)
{
    SCOPED_TRACE(CellLabelName(f.label));
    cmcEeprom& image = world.Image();
    for (size_t i = 0; i < f.bits.size(); ++i) {
        image.Fill(0);
        image.Data()[f.bits[i].first] = uint8_t(1 << f.bits[i].second);
        EXPECT_EQ(settingtest::Shown(f.label), EntryText(f.key, 1 << i)) << "value bit " << i;
    }
    const int high = (1 << f.bits.size()) - 1;
    for (const int fill : {0x00, 0xFF}) {
        image.Fill(uint8_t(fill));
        cmcEeprom expected(image);
        for (auto [offset, bit] : f.bits) expected.Data()[offset] ^= uint8_t(1 << bit);
        settingtest::Pick(f.label, fill ? 0 : high);
        EXPECT_TRUE(image.Equals(expected)) << "picked " << (fill ? 0 : high);
    }
}

TEST(ListFields, DigitalOptions)
{
    const ListField fields[] = {
        {CL_Digi_Ind_Op_Disp_RecieveUId, 197888, 5, 1, "GI_Sheet_Sel_Misc_OnOff_I"},
        {CL_Digi_Grp_Op_Disp_Mode, 197889, 6, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Digi_Grp_Op_Disp_Recieve, 197889, 5, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Digi_Grp_Op_Disp_RecieveUId, 197889, 3, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Digi_Grp_Op_Disp_Ptt, 197889, 4, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Digi_Trunk_SU_ReceiveBeep, 197895, 4, 4, "GI_Sheet_Sel_RxC_Beep"},
        {CL_Digi_Gps_Fix_Id, 197900, 7, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_Digi_Gps_Send_Status, 197900, 6, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_Digi_Gps_Send_Sdm, 197900, 5, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_Digi_Gps_Send_CallAlert, 197900, 4, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_Digi_Gps_Send_Emer, 197900, 3, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_Digi_Gps_Send_ManDown, 197900, 2, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_Digi_Gps_Sentence, 197902, 4, 2, "GI_Sheet_Sel_Msk_GpsSentence"},
        {CL_Digi_Gps_Send_Login, 197900, 1, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_Digi_Gps_Send_Logoff, 197902, 6, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_Digi_Gps_SingleMultisite_Fix_Id, 303614, 2, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_Digi_Config_Beep, 197890, 0, 4, "GI_Sheet_Sel_RxC_Beep"},
        {CL_Digi_Config_BeepG, 197895, 0, 4, "GI_Sheet_Sel_RxC_Beep"},
        {CL_Digi_Config_Emer_Beep, 175759, 0, 4, "GI_Sheet_Sel_RxC_Beep"},
        {CL_Digi_Config_ID_Disp, 175759, 4, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Digi_Config_CallTypeMode, 197914, 5, 1, "GI_Sheet_Sel_Dig_Option_CallType"},
        {CL_Digi_Config_CallTypeReset, 197914, 4, 1, "GI_Sheet_Sel_Misc_OnOff_I"},
        {CL_Digi_Config_DecodeComparson, 197890, 6, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Digi_Option_TalkBackLockPTT, 303614, 7, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Digi_Option_TalkBackRXType, 197890, 4, 1, "GI_Sheet_Sel_Dig_Talk_Back_RX_Type"},
        {CL_Digi_Option_TalkBackBeep, 197904, 4, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Digi_Option_TalkBackIdDisplay, 197904, 0, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Digi_Status_Set_AllowPoll, 204662, 3, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_Status_Set_PollTX, 204662, 2, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_Status_Set_Log, 204662, 4, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_Status_Set_RequestAck, 204662, 5, 1, "GI_Sheet_Sel_Misc_Enable_I"},
        {CL_Digi_Status_Set_Send_Voice, 197902, 7, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_Digi_ANI_CurtRinger, 197904, 7, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_ANI_OverRinger, 197904, 6, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Digi_ANI_TX_RTTBeep, 197904, 5, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Digi_CallLog_Log, 197914, 7, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_CallLog_LogActType, 197914, 0, 4, "GI_Sheet_Sel_Dig_CallLog_LogActType"},
        {CL_Digi_SDM_Setting_RX, 204688, 3, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_SDM_Setting_Ringer, 204688, 0, 3, "GI_Sheet_Sel_RxC_Beep"},
        {CL_Digi_SDM_Setting_Log, 204688, 4, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_SDM_Setting_RequestAck, 204688, 5, 1, "GI_Sheet_Sel_Misc_Enable_I"},
        {CL_Digi_CallAlert_RX, 204690, 7, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_CallAlert_TX, 204690, 6, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_CallAlert_Ringer, 204690, 0, 3, "GI_Sheet_Sel_RxC_Beep"},
        {CL_Digi_CallAlert_ShowIcon, 204690, 3, 1, "GI_Sheet_Digital_CallAlert_Bell"},
        {CL_Digi_CallAlert_Log, 204690, 5, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_CallAlert_DecExo, 204690, 4, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_CallAlert_RequestAck, 204692, 7, 1, "GI_Sheet_Sel_Misc_Enable_I"},
        {CL_Digi_RadioChk_RX, 204694, 7, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_RadioChk_TX, 204694, 6, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_Stun_RX, 204696, 7, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_Stun_TX, 204696, 6, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_Stun_Mode, 204696, 5, 1, "GI_Sheet_Sel_Dig_Stun_Mode"},
        {CL_Digi_Stun_FixedID_Enable, 197888, 2, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_Digi_Kill_RX, 204698, 7, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_Kill_TX, 204698, 6, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_Kill_FixedID_Enable, 197888, 3, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_Digi_Revive_RX, 204700, 7, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_Revive_TX, 204700, 6, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_RMONI_RX, 204702, 7, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_RMONI_TX, 204702, 6, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_RMONI_Mode, 204702, 5, 1, "GI_Sheet_Sel_Dig_RMONI_Mode"},
        {CL_Digi_Expert_Delayed_Header_Voice, 204842, 4, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_Digi_Expert_TxAllCall, 204842, 7, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Digi_Expert_RxAllCall, 204842, 6, 1, "GI_Sheet_Sel_Misc_Enable"},
    };
    celltest::CellWorld world(Lists(fields));
    for (const ListField& f : fields) Probe(world, f);
}

TEST(ListFields, DigitalOptionTimers)
{
    // The trunking wait timers never hold 0, so never show "off".
    const TimerField timers[] = {
        {CL_Digi_Grp_Op_Disp_Timer, 197874, 10, false},
        {CL_Digi_Trunk_SU_Busy_Wait, 197896, 1, false},
        {CL_Digi_Trunk_SU_Grp_Wait, 197897, 10, false},
        {CL_Digi_Trunk_SU_RAccess_Timer, 197898, 10, false},
        {CL_Digi_Config_SS_Wait, 197875, 100, false},
        {CL_Digi_Config_FSSP_Wait, 197891, 20, false},
        {CL_Digi_Config_T_ACK_Wait, 197892, 20, false},
        {CL_Digi_Config_T_LONG_Wait, 197893, 20, false},
        {CL_Digi_Config_T_SHORT_Wait, 197894, 20, false},
        {CL_Digi_Config_ResetTimer, 197913, 1, true},
        {CL_Digi_ANI_PreDisplayTimer, 197905, 10, true},
        {CL_Digi_ANI_PostDisplayTimer, 197906, 10, true},
        {CL_Digi_RMONI_TXTimer, 204703, 1, false},
        {CL_Digi_Expert_LET, 204838, 1000, false},
        {CL_Digi_Expert_Delayed_Header_OffTimer, 303622, 10, false},
        {CL_Digi_Expert_Lag_Timer, 204843, 100, false},
        {CL_Digi_Expert_PowerDown, 204841, 100, false},
    };
    celltest::CellWorld world;
    for (const TimerField& f : timers) ProbeTimer(world, f);
}

TEST(ListFields, CommonSettings)
{
    const ListField fields[] = {
        {CL_Comm_PwrOnPassword, 175683, 5, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Comm_SetModeAccess, 175681, 3, 1, "GI_Sheet_Sel_Comm_SetModeAccess"},
        {CL_Comm_Tot_ID_Out, 175681, 5, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Comm_Tot_Dtmf_ID_Out, 175681, 5, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Comm_Tot_Beep, 175681, 4, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Comm_LockoutOverride, 175683, 6, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Comm_Ctcss_ToneBurst, 175680, 3, 1, "GI_Sheet_Sel_Comm_Ctcss_BurstType"},
        {CL_Comm_Ctcss_RxAfFilt, 175680, 2, 1, "GI_Sheet_Sel_Comm_RxAfSw"},
        {CL_Comm_Ctcss_ChMuteCont, 175758, 1, 1, "GI_Sheet_Sel_Exp_ChMuteCont"},
        {CL_Comm_Ctcss_Backup, 175683, 1, 1, "GI_Sheet_Sel_Misc_OnOff_I"},
        {CL_Comm_DSUB25_SPPED, 175678, 0, 4, "GI_Sheet_Sel_Comm_RS232C_SPEED"},
        {CL_Comm_OPTCONNE_SPPED, 175772, 4, 4, "GI_Sheet_Sel_Comm_RS232C_SPEED"},
        {CL_Comm_Scrm_Type, 175640, 3, 1, "GI_Sheet_Sel_Comm_Scrm_Type"},
        {CL_Comm_Scrm_SyncCapture, 175640, 6, 2, "GI_Sheet_Sel_Comm_Scrm_SyncCapture"},
        {CL_Comm_Scrm_GroupCode, 175640, 0, 2, "GI_Sheet_Sel_Comm_Scrm_GroupCode"},
        {CL_Comm_Scrm_TStartTiming, 175640, 4, 2, "GI_Sheet_Sel_Comm_Scrm_ToneStartTiming"},
        {CL_Comm_ManDown_ON, 175679, 2, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Comm_ManDown_Sairen, 175680, 7, 1, "GI_Sheet_Sel_Comm_Sairen"},
        {CL_Comm_LowBatt1_TX_End, 175778, 7, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Comm_LowBatt2_TX_End, 175778, 6, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Comm_LowBatt1, 175778, 5, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Comm_LowBatt2, 175778, 4, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Comm_TRDataOut, 175681, 2, 1, "GI_Sheet_Sel_Comm_SetModeAccess"},
        {CL_Comm_Tactical, 175758, 6, 1, "GI_Sheet_Sel_Comm_SetModeAccess"},
        {CL_Comm_Wide, 175683, 7, 1, "GI_Sheet_Sel_Comm_Wide"},
        {CL_Comm_FNarrow, 147906, 5, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Comm_AFON2_Always_ON, 175770, 2, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_Comm_Demph_Setting, 175770, 0, 2, "GI_Sheet_Sel_DemphSetting"},
        {CL_Comm_DTMFDec_InputSet, 175679, 4, 1, "GI_Sheet_Sel_DTMFDecInputSet"},
        {CL_Comm_AutoTx_MicSel, 175776, 2, 1, "GI_Sheet_Sel_AutoTx_MicSel"},
        {CL_Comm_Escalating_Alarms, 175782, 2, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_Comm_DSUB25_PIO23_Select, 175771, 6, 2, "GI_Sheet_Sel_Comm_PIO23_Select"},
        {CL_Comm_Strv_Stun_Type, 181302, 0, 4, "GI_Sheet_Sel_Comm_Stun_Type"},
        {CL_Comm_Strv_TRDataOut, 181300, 7, 1, "GI_Sheet_Sel_Misc_Enable_I"},
        {CL_Comm_Strv_PSW_Inhibit, 181300, 6, 1, "GI_Sheet_Sel_Misc_Enable_I"},
        {CL_Comm_Strv_LCD_OFF, 181300, 5, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Comm_Strv_Text_ON, 181300, 4, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Comm_Strv_Beep_ON, 181300, 1, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Comm_Strv_DecAll, 181300, 3, 1, "GI_Sheet_Sel_Misc_Enable_I"},
        {CL_Comm_Strv_RevAll, 181300, 2, 1, "GI_Sheet_Sel_Misc_Enable_I"},
        {CL_Emer_Setting_RptCancel, 181274, 7, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Emer_Setting_Silent, 175680, 7, 1, "GI_Sheet_Sel_Comm_Silent"},
        {CL_Emer_Signal_ScanCancel, 181274, 6, 1, "GI_Sheet_Emergency_ScanCacnel"},
        {CL_Emer_Signal_CodeEna, 181275, 7, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_Emer_Signal_CodeLong, 181272, 7, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Emer_Signal_2TDec, 181275, 6, 1, "GI_Sheet_Sel_Misc_Enable4"},
        {CL_Emer_Signal_5TDec, 181275, 6, 1, "GI_Sheet_Sel_Misc_Enable4"},
        {CL_Emer_Signal_KOVRDec, 181275, 5, 1, "GI_Sheet_Sel_Misc_Enable4"},
        {CL_Emer_Signal_KOVRRep, 181275, 4, 1, "GI_Sheet_Sel_Misc_Enable4"},
        {CL_Emer_Signal_Digi_CallType, 181275, 0, 2, "GI_Sheet_Sel_Dig_Status_CallType"},
        {CL_Emer_Signal_Digi_RequestAck, 181275, 2, 1, "GI_Sheet_Sel_Misc_Enable_I"},
        {CL_Emer_Signal_Digi_SendAckTalkgroup, 181274, 3, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Emer_Signal_Digi_SendAckAllCall, 181274, 2, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Comm_ChGrp_ON, 325694, 7, 1, "GI_Sheet_Sel_Misc_OnOff"},
    };
    celltest::CellWorld world(Lists(fields));
    for (const ListField& f : fields) Probe(world, f);
}

TEST(ListFields, CommonSettingTimers)
{
    const TimerField timers[] = {
        {CL_Comm_AtResetTimer_A, 175710, 1, true},
        {CL_Comm_AtResetTimer_B, 175711, 1, true},
        {CL_Comm_InactiveTimer, 175712, 1, false},
        {CL_Comm_Tot_Timer, 175706, 1, false},
        {CL_Comm_Tot_PenaltyTimer, 175707, 1, true},
        {CL_Comm_LockoutPenaltyTimer, 175708, 1, true},
        {CL_Comm_Ctcss_ReverseBurst, 175688, 100, true},
        {CL_Comm_PwrSave_Timer1, 175750, 10, false},
        {CL_Comm_PwrSave_Timer2, 175751, 1, false},
        {CL_Comm_ManDown_Timer, 175752, 10, false},
        {CL_Comm_ManDown_TS1, 182041, 10, false},
        {CL_Comm_ManDown_TS2, 182042, 10, false},
        {CL_Comm_ManDown_TS3, 182043, 10, false},
        {CL_Comm_LowBatt1_Periods, 175779, 1, true},
        {CL_Comm_LowBatt2_Periods, 175780, 1, true},
        {CL_Comm_Strv_LCD_OFF_Timer, 181301, 10, false},
        {CL_Emer_LoneWorker_Timeout, 181252, 1, true},
        {CL_Emer_LoneWorker_PreAlarm, 181253, 1, false},
        {CL_Emer_LoneWorker_RepeatAlarm, 181254, 1, false},
        {CL_Emer_LoneWorker_Pttdelay, 181255, 10, false},
        {CL_Emer_Timer_Start, 181251, 1, false},
        {CL_Emer_Timer_TxTone, 181257, 1, true},
        {CL_Emer_Timer_AutoTx, 181258, 1, true},
        {CL_Emer_Timer_RxTone, 181259, 1, true},
        {CL_Emer_Timer_AutoRx, 181260, 1, true},
        {CL_Emer_Timer_Idle, 181261, 1, true},
        {CL_Emer_Timer_Backlight, 181256, 1, true},
    };
    celltest::CellWorld world;
    for (const TimerField& f : timers) ProbeTimer(world, f);
}

TEST(ListFields, FurtherSettings)
{
    const ListField fields[] = {
        {CL_KDisp_CRKnob, 302528, 5, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Digi_Config_Talkgroup_ID, 197889, 0, 1, "GI_Sheet_Sel_Dig_Option_TalkgroupID"},
        {CL_KDisp_TactGroup, 302528, 2, 1, "GI_Sheet_Sel_KDisp_RotaryTG"},
        {CL_KDisp_BWCode, 181307, 0, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_KDisp_MenuBanks, 302511, 0, 8, "GI_Sheet_Sel_KDisp_MenuAccess"},
        {CL_Comm_ForceLowRfPo, 302528, 7, 1, "GI_Sheet_Sel_Misc_Enable_I"},
        {CL_Comm_PwrSave_Mode, 175672, 0, 8, "GI_Sheet_Sel_Comm_PWR_Mode"},
        {CL_Comm_Sql_Algorithm, 302528, 6, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_ScanComm_ScanCancelBeep, 302528, 1, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_ScanComm_PrioCHActivity, 302528, 0, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Comm_PwrOn_UserSet, 302529, 7, 1, "GI_Sheet_Sel_Comm_SetModeAccess"},
        {CL_ScanComm_ActiveLED, 302529, 6, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Comm_PA_Output, 302529, 5, 1, "GI_Sheet_Sel_Comm_PA_Output"},
        {CL_KDisp_CycleChDisplay, 302529, 3, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_KDisp_DTMFHot_Keypad, 302529, 2, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_Comm_PW_Firmware, 302529, 0, 2, "GI_Sheet_Sel_Comm_SetModeAccess"},
        {CL_KDisp_Security_SCK, 148174, 2, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_Mdc_Cfg_Gps_Sentence, 302532, 0, 2, "GI_Sheet_Sel_Msk_GpsSentence"},
        {CL_Digi_Opt_OAA_TX, 325628, 7, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Digi_Opt_OAA_LstOvrwrt, 325628, 5, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_Digi_Opt_OAA_RXTxtPrio, 325628, 6, 1, "GI_Sheet_Sel_OAA_RX_TxtPrio"},
        {CL_Digi_Opt_OAA_RXBkup, 325628, 4, 1, "GI_Sheet_Sel_Misc_OnOff_I"},
        {CL_Digi_Expert_Compati_GPSTypeBMes, 197872, 4, 1, "GI_Sheet_Sel_Compati_GPSTypeBMes"},
    };
    celltest::CellWorld world(Lists(fields));
    for (const ListField& f : fields) Probe(world, f);
}

TEST(ListFields, Keys)
{
    const ListField fields[] = {
        {CL_KDisp_DigiKey_Mode, 303592, 0, 1, "GI_Sheet_Sel_DigiKeyMode_Text"},
        {CL_KDisp_DTMFDecoder_Select, 175778, 3, 1, "GI_Sheet_Sel_KDisp_DTMFDecoder_Select"},
        {CL_KDisp_DTMFMic_Customize, 175771, 1, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_KDisp_HangAct_Moni, 175685, 7, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_KDisp_HangAct_Scan, 175685, 5, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_KDisp_HangAct_PrioA, 175685, 6, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_KDisp_AmpOnOff, 175683, 0, 1, "GI_Sheet_Sel_Misc_OnOff_I"},
        {CL_KDisp_OpeningBeep, 175678, 6, 2, "GI_Sheet_Sel_KDisp_Opening_Beep"},
        {CL_KDisp_DispLines, 175682, 2, 1, "GI_Sheet_Sel_KDisp_Lines"},
        {CL_KDisp_ErrChDisplay, 175770, 3, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_KDisp_RfPoSel, 175683, 2, 1, "GI_Sheet_Sel_KDisp_RfPwr"},
        {CL_KDisp_PrioA_SwOn, 175681, 1, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_KDisp_PrioA_AutoReset, 175770, 4, 1, "GI_Sheet_Sel_Misc_Enable3"},
        {CL_KDisp_PrioA_ClearDown, 175682, 7, 1, "GI_Sheet_Sel_Misc_Enable3"},
    };
    celltest::CellWorld world(Lists(fields));
    for (const ListField& f : fields) Probe(world, f);
}

TEST(ListFields, ScanAndVote)
{
    const ListField fields[] = {
        {CL_ScanComm_AutoChCall_PmrOnly, 175680, 1, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_ScanComm_BacklitatStopScan, 175758, 4, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_ScanComm_VoteOnFast, 175770, 5, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_ScanComm_VoteAfterTalk, 175776, 1, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_ScanComm_VotePTTSideTone, 175776, 0, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_ScanComm_VoteDisplayGroup, 175782, 7, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_ScanComm_VoteDisplayCH, 175782, 6, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_ScanComm_VoteStopHookOff, 175782, 5, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_ScanComm_NuisanceDelete, 175679, 3, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_ScanComm_ModeSlaveScan, 175680, 6, 1, "GI_Sheet_Sel_Misc_OnOff"},
        {CL_ScanComm_MonitorKeyAction, 175776, 7, 1, "GI_Sheet_Sel_MonitorKey_Action"},
        {CL_ScanComm_TalkBackTimerBeep, 175776, 6, 1, "GI_Sheet_Sel_Misc_OnOff"},
    };
    celltest::CellWorld world(Lists(fields));
    for (const ListField& f : fields) Probe(world, f);
}

TEST(ListFields, ScanAndVoteTimers)
{
    const TimerField timers[] = {
        {CL_ScanComm_StopTimer, 175699, 10, false},
        {CL_ScanComm_StopTimerB, 175753, 10, false},
        {CL_ScanComm_ResumeTimer, 175700, 10, false},
        {CL_ScanComm_TalkBackTimer, 175754, 10, false},
        {CL_ScanComm_ScanTimer_Fast, 175686, 1000, false},
        {CL_ScanComm_ScanTimer_Slow, 175687, 100, false},
        {CL_ScanComm_VoteTimer_ReVoteDwell, 175783, 10, false},
        {CL_ScanComm_VoteTimer_LeadIn, 176062, 100, false},
        {CL_ScanComm_VoteTimer_Dwell, 176063, 1000, false},
        {CL_ScanComm_VoteTimer_PTTSideTone, 175781, 100, false},
    };
    celltest::CellWorld world;
    for (const TimerField& f : timers) ProbeTimer(world, f);
}

// The maker page's choices on header bytes 11 and 12, in the maker mode.
TEST(ListFields, Maker)
{
    const ListField fields[] = {
        {CL_Maker_SqlDelay_Op, 11, 7, 1, "GI_Sheet_Sel_Misc_OnOff_I"},
        {CL_Maker_Dtcs_TxPolar, 11, 6, 1, "GI_Sheet_Sel_Maker_DtcsPolar"},
        {CL_Maker_Dtcs_RxPolar, 11, 5, 1, "GI_Sheet_Sel_Maker_DtcsPolar"},
        {CL_Maker_Digital_TxPolar, 12, 4, 1, "GI_Sheet_Sel_Maker_DtcsPolar"},
        {CL_Maker_Digital_RxPolar, 12, 3, 1, "GI_Sheet_Sel_Maker_DtcsPolar"},
        {CL_Maker_Pll_Type, 11, 0, 2, "GI_Sheet_Sel_Maker_PllType"},
        {CL_Maker_SetModeAccess, 11, 3, 1, "GI_Sheet_Sel_Misc_Enable"},
        {CL_Maker_2ToneDecMethod, 12, 1, 1, "GI_Sheet_Sel_SDECMethodSet"},
        {CL_Maker_5ToneDecMethod, 12, 0, 1, "GI_Sheet_Sel_SDECMethodSet"},
        {CL_Maker_VcoOutput, 11, 4, 1, "GI_Sheet_Sel_Misc_HiLow"},
        {CL_Maker_PdPol, 12, 7, 1, "GI_Sheet_Sel_Polarity"},
        {CL_Maker_ClShift, 12, 6, 1, "GI_Sheet_Sel_Misc_OnOff"},
    };
    celltest::CellWorld world(Lists(fields));
    world.Main().SetMakerMode(1);
    for (const ListField& f : fields) Probe(world, f);
}

// The maker page's timers, in thousandths and hundredths of a second.
TEST(ListFields, MakerTimers)
{
    const TimerField timers[] = {
        {CL_Maker_SqlDelay_ResetTimer, 26, 1000, false},
        {CL_Maker_Sql_SigDetTimer, 24, 1000, false},
        {CL_Maker_Sql_NoiseDetTimer, 25, 1000, false},
        {CL_Maker_CtcssDec_DelayTimer, 34, 1000, false},
        {CL_Maker_PwrOffTimer, 37, 100, false},
        {CL_Maker_ON_Timer1, 38, 100, false},
        {CL_Maker_ON_Timer2, 39, 100, false},
        {CL_Maker_Pll_TxFastTimer, 27, 1000, false},
        {CL_Maker_Pll_RxFastTimer, 28, 1000, false},
        {CL_Maker_Pll_TxFastTimer2, 42, 1000, false},
        {CL_Maker_Pll_RxFastTimer2, 43, 1000, false},
        {CL_Maker_MuteTimer_Tx, 29, 1000, false},
        {CL_Maker_MuteTimer_Rx, 30, 1000, false},
    };
    celltest::CellWorld world;
    world.Main().SetMakerMode(1);
    for (const TimerField& f : timers) ProbeTimer(world, f);
}

// Choices composed of bits of several bytes, or of bits out of order.
TEST(ListFields, ComposedChoices)
{
    const ComposedField fields[] = {
        {CL_Digi_Config_Unit_ID, {{197890, 5}, {197890, 7}}, "GI_Sheet_Sel_Dig_Option_UnitID"},
        {CL_Digi_Config_ShortCutKeyCallType, {{197904, 2}, {197904, 3}, {197904, 1}},
         "GI_Sheet_Sel_Dig_Option_ShortcutCallType"},
        {CL_Comm_FNarrow_Change, {{147906, 4}, {147906, 3}}, "GI_Sheet_Sel_ForcedNarChange"},
        {CL_ScanComm_PwrOnScan, {{175776, 5}, {175681, 7}}, "GI_Sheet_Sel_PwrOnScan"},
        {CL_ScanComm_VoteCheckCONT, {{175770, 6}, {175685, 0}}, "GI_Sheet_Sel_Vote_Check_BeforeRSSI"},
        {CL_KDisp_RotaryLock, {{302528, 3}, {302528, 4}}, "GI_Sheet_Sel_Rotary_Lock"},
        {CL_KDisp_PwrSW, {{175682, 4}, {175758, 7}}, "GI_Sheet_Sel_Power_Switch"},
        {CL_KDisp_HangAct_ScanSuspend, {{175685, 4}, {175776, 4}, {175776, 3}}, "GI_Sheet_Sel_HookOffSuspend"},
        {CL_KDisp_Tenkey_Select, {{175680, 4}, {175778, 2}, {175782, 1}, {175771, 3}, {175772, 0}},
         "GI_Sheet_Sel_KDisp_Tenkey_Normal"},
    };
    celltest::CellWorld world(ComposedLists(fields));
    for (const ComposedField& f : fields) ProbeComposed(world, f);
}

}  // namespace
