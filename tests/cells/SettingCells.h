#pragma once
// What the tests of the setting pages share: short choice lists and texts,
// and one call of a setting cell (shown, drawn, keyed, typed or picked).
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "platform/base/RecordingCanvas.h"
#include "tests/cells/CellWorld.h"

#include <string>
#include <utility>
#include <vector>

namespace settingtest {

using celltest::Capsule;
using celltest::ListSection;
using celltest::MakeCell;

inline std::vector<std::string> SettingLists()
{
    std::vector<std::string> lines = celltest::BaseOverlay();
    auto add = [&](const std::vector<std::string>& section) { lines.insert(lines.end(), section.begin(), section.end()); };
    for (const char* key : {"GI_Sheet_Sel_Misc_OnOff", "GI_Sheet_Sel_Misc_OnOff2", "GI_Sheet_Sel_Misc_Enable3",
                            "GI_Sheet_Sel_Misc_Enable"})
        add(ListSection(key, "Flex0", {{0, "Off"}, {1, "On"}}));
    add(ListSection("GI_Sheet_Sel_Misc_OnOff_I", "Flex0", {{0, "On"}, {1, "Off"}}));
    add(ListSection("GI_Sheet_Sel_Misc_YesNo_I", "Flex0", {{0, "Yes"}, {1, "No"}}));
    add(ListSection("GI_Sheet_Sel_UserSetEnable", "Flex0", {{0, "Fixed"}, {1, "User"}}));
    add(ListSection("GI_Sheet_Sel_Comm_RS232C_SPEED", "Flex0", {{0, "1200"}, {3, "9600"}, {5, "38400"}}));
    add(ListSection("GI_Sheet_Sel_Comm_RS232C_Mode", "Flex0",
                    {{0, "Off"}, {1, "Data"}, {2, "GPS"}, {3, "Remote"}, {4, "Off+"}, {5, "Data+"}, {6, "GPS+"}, {7, "Remote+"}}));
    add(ListSection("GI_Sheet_Sel_ForcedNarChange", "Flex0", {{0, "None"}, {1, "Low"}, {2, "High"}, {3, "Both"}}));
    add(ListSection("GI_Sheet_Sel_SetM_SqlLev", "Flex0", {{0, "Open"}, {1, "1"}, {9, "9"}}));
    add({"#GI_Sheet_Sel_SetM_BeepLev_Cells", "{(%Flex0[3])}Level 3|{(%Flex0[103])}Level 3 loud",
         "{(%Flex0[5])}Level 5|{(%Flex0[105])}Level 5 loud"});
    add(ListSection("GI_Sheet_Sel_RxC_EmgCode", "Flex1", {{5, "5"}, {7, "7"}, {9, "9"}}));
    add(ListSection("GI_Sheet_CL_Comm_ChGrp_Type", "Flex0", {{0, "Off"}, {1, "Channel"}, {2, "Scan list"}, {3, "Zone"}}));
    add(ListSection("GI_Sheet_CL_Comm_ChGrp_ScanList", "Flex0", {{0, "List 1"}, {1, "List 2"}, {16, "List 17"}}));
    add(ListSection("GI_Sheet_Sel_ScanMode", "Flex0", {{0, "Off"}, {1, "Normal"}, {2, "Priority"}, {17, "Vote"}}));
    add(ListSection("GI_Sheet_Sel_ScanPrio1CH", "FlexMark", {{0, "Off"}, {1, "Priority A"}, {2, "Priority B"}, {5, "Channel"}}));
    add(ListSection("GI_Sheet_Sel_ScanPrio2CH", "FlexMark", {{0, "Off"}, {1, "Priority A"}, {2, "Priority B"}, {5, "Channel"}}));
    add(ListSection("GI_Sheet_Sel_ScanTXCH", "FlexMark", {{0, "Stop"}, {1, "Priority A"}, {2, "Priority B"}, {5, "Channel"}}));
    add(ListSection("GI_Sheet_Sel_ScanTXAct", "Flex0", {{0, "Stay"}, {1, "Return"}}));
    add(ListSection("GI_Sheet_Sel_ScanCancelCH", "Flex0", {{0, "Current"}, {1, "Priority A"}}));
    add(ListSection("GI_Sheet_Sel_ScanList_Text", "Flex0", {{0, "Channel name"}, {1, "List name"}}));
    add(ListSection("GI_Sheet_Sel_PwrOnScan", "Flex0", {{0, "Off"}, {1, "Mode 1"}, {2, "Mode 2"}, {3, "Mode 3"}}));
    add(ListSection("GI_Sheet_Sel_SetM_Mob_Backlight", "Flex0", {{0, "Off"}, {1, "Level 1"}, {5, "Auto"}}));
    add(ListSection("GI_Sheet_Sel_Compati_DataType", "Flex0", {{0, "A"}, {1, "B"}, {2, "C"}, {3, "D"}}));
    add(ListSection("GI_Sheet_Sel_Keys_Conv_LmrB2", "Flex0", {{0, "None"}, {'1', "Scan"}, {100, "Talk around"}}));
    add(ListSection("GI_Sheet_Sel_Keys_Conv_PmrB2", "Flex0", {{0, "None"}, {'1', "Scan"}, {100, "Talk around"}}));
    add(ListSection("GI_Sheet_Sel_Keys_Conv_Lmr", "Flex0", {{0, "None"}, {'1', "Scan"}, {100, "Talk around"}}));
    add(ListSection("GI_Sheet_Sel_Keys_Conv_Pmr", "Flex0", {{0, "None"}, {'1', "Scan"}, {100, "Talk around"}}));
    add(ListSection("GI_Sheet_Sel_Keys_Conv_Lmr_Ext_Emer", "Flex0", {{0, "None"}, {94, "Off"}}));
    add(ListSection("GI_Sheet_Sel_Keys_Conv_Pmr_Ext_Emer", "Flex0", {{0, "None"}, {94, "Off"}}));
    add(ListSection("GI_Sheet_Sel_Mch_EDivert", "FlexMark", {{0, "Off"}, {1, "Zone"}, {2, "Direct"}}));
    add(ListSection("GI_Sheet_Sel_Mch_EDivert2", "FlexMark", {{0, "Off"}, {1, "Zone"}}));
    add({"#GI_Sheet_Sel_TGList_Cells", "{!S}No.", ":(TG List)", "{(%Flex_TgIDList_ChNo[0])}", ":(End)"});
    // Two-entry lists for the other choices of the setting pages.
    for (const char* key : {"GI_Sheet_Emergency_ScanCacnel", "GI_Sheet_Sel_AutoTx_MicSel",
                            "GI_Sheet_Sel_Comm_Ctcss_BurstType", "GI_Sheet_Sel_Comm_PA_Output",
                            "GI_Sheet_Sel_Comm_PIO23_Select", "GI_Sheet_Sel_Comm_PWR_Mode",
                            "GI_Sheet_Sel_Comm_RxAfSw", "GI_Sheet_Sel_Comm_Sairen",
                            "GI_Sheet_Sel_Comm_Scrm_GroupCode", "GI_Sheet_Sel_Comm_Scrm_SyncCapture",
                            "GI_Sheet_Sel_Comm_Scrm_ToneStartTiming", "GI_Sheet_Sel_Comm_Scrm_Type",
                            "GI_Sheet_Sel_Comm_SetModeAccess", "GI_Sheet_Sel_Comm_Silent",
                            "GI_Sheet_Sel_Comm_Stun_Type", "GI_Sheet_Sel_Comm_Wide",
                            "GI_Sheet_Sel_Compati_GPSTypeBMes", "GI_Sheet_Sel_DTMFDecInputSet",
                            "GI_Sheet_Sel_DemphSetting", "GI_Sheet_Sel_Dig_Option_ShortcutCallType",
                            "GI_Sheet_Sel_Dig_Option_TalkgroupID", "GI_Sheet_Sel_Dig_Status_CallType",
                            "GI_Sheet_Sel_Exp_ChMuteCont", "GI_Sheet_Sel_KDisp_MenuAccess",
                            "GI_Sheet_Sel_KDisp_RotaryTG", "GI_Sheet_Sel_Misc_Enable4",
                            "GI_Sheet_Sel_Misc_Enable_I", "GI_Sheet_Sel_MonitorKey_Action",
                            "GI_Sheet_Sel_Msk_GpsSentence", "GI_Sheet_Sel_OAA_RX_TxtPrio",
                            "GI_Sheet_Sel_Rotary_Lock", "GI_Sheet_Sel_SetM_MicGain",
                            "GI_Sheet_Sel_SetM_VoxDelay", "GI_Sheet_Sel_SetM_VoxGain",
                            "GI_Sheet_Sel_Vote_Check_BeforeRSSI"})
        add(ListSection(key, "Flex0", {{0, "Zero"}, {1, "One"}}));
    add({"#GI_AppInd_CounterInfinite", "Infinite"});
    add({"#GI_AppInd_Opt_RdWrPwd_BlankMessage", "No password"});
    add({"#GI_Mess_OAA_TxText_Blank", "No alias"});
    add({"#GI_AppMess_KeyErr_Fixed", "This key is fixed.", "Second line", "#"});
    add({"#GI_AppMess_KeyConflict", "Conflict", "#"});
    add({"#GI_NewChTitle", "New"});
    return lines;
}

// One call of a cell of the settings pages (no category unless given).
struct Call {
    explicit Call(int label, int index = 0, int category = CT_Null, bool onGrid = true)
        : cell(MakeCell(category, label, index)), c(cell.get(), onGrid)
    {
    }
    CellExecResult Run(int notify = 0) { return indActiveCell().Exec(&c.cap, notify); }
    std::unique_ptr<cmcCellObj> cell;
    Capsule c;
};

// The text a cell shows when only evaluated (no grid, no canvas).
inline std::string Shown(int label, int index = 0, int category = CT_Null)
{
    Call call(label, index, category, false);
    call.Run();
    return call.c.cap.Text;
}

// A cell drawn on a canvas: its text and whether it is grey.
struct Drawn {
    std::string text;
    bool grey;
    bool warning;
    bool error;
};
inline Drawn Draw(int label, int index = 0, int category = CT_Null)
{
    Call call(label, index, category, false);
    plat::RecordingCanvas canvas;
    call.c.cap.Canvas = &canvas;
    call.Run();
    return {call.c.cap.Text, canvas.GetFont().color == plat::clSilver, bool(call.c.cap.WarningMark),
            bool(call.c.cap.ErrorMark)};
}

inline CellExecResult Key(int label, int key, int index = 0, int category = CT_Null)
{
    Call call(label, index, category);
    call.c.cap.Key = key;
    return call.Run();
}

inline void Typed(int label, const std::string& text, int index = 0, int category = CT_Null)
{
    Call call(label, index, category);
    call.c.Edit(text);
    call.Run();
}

inline void Pick(int label, int value, int listLabel = Flex0, int index = 0, int category = CT_Null)
{
    Call call(label, index, category);
    call.c.Pick(listLabel, value);
    call.Run();
}

}  // namespace settingtest
