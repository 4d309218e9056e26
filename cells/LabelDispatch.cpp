#include "cells/LabelDispatch.h"

#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "platform/base/Fatal.h"

#include <algorithm>
#include <array>
#include <map>
#include <string>

namespace {

struct LabelRun {
    int First;
    int Last;
};

// The labels without a behaviour of their own, which show "<label> *Yet*":
// debug menu cells, model variants and menu items that are not
// offered, pop-up items whose command the engine carries out itself, and
// cells of settings that no sheet edits.
constexpr LabelRun kDefaultText[] = {
    {FlexEeDebugWin, FlexEeDebugWin},
    {CL_Model_LmrLtr, CL_Model_LmrP25},
    {CL_Model_KovrPmr, CL_Model_KovrPmr_Mob},
    {CL_Help_About, CL_Help_About},
    {CL_Menu_Debug_Compare, CL_Menu_Debug_EeWindow},
    {CL_Check_SetMode, CL_Check_Common},
    {CL_CloneInfo_KeyBoard, CL_CloneInfo_KeyBoard},
    {CL_CloneInfo_PllRef, CL_CloneInfo_PllRef},
    {CL_PMenu_Edit, CL_PMenu_Edit},
    {CL_PMenu_Insert, CL_PMenu_WinCopy},
    {CL_FBits, CL_FBits},
    {CL_Mch_Multisite_TxInh, CL_Mch_Multisite_TxInh},
    {CL_Mch_Msk_Log, CL_Mch_Msk_Log},
    {CL_Msk_Msg_ShortTxtTxMsg_2, CL_Msk_Msg_ShortTxtTxMsg_3},
    {CL_Msk_TimingErr_ND, CL_Msk_TimingErr_ND},
    {CL_Msk_TimingErr_TOF, CL_Msk_TimingErr_T3},
    {CL_Msk_Cfg_Dec_DurationTimer, CL_Msk_Cfg_Dec_DurationTimer},
    {CL_Msk_Cfg_Status_Send_Base, CL_Msk_Cfg_Status_Send_Base},
    {CL_Msk_Cfg_Status_Send_Dim, CL_Msk_Cfg_Gps_Enable},
    {CL_Msk_Cfg_Gps_Send_Call, CL_Msk_Cfg_Gps_Send_Call},
    {CL_Msk_Cfg_Gps_Send_Ack, CL_Msk_Cfg_Gps_Send_Ack},
    {CL_Digi_Config_Emer_Tans, CL_Digi_Config_Emer_Tans},
    {CL_Multisite_SiteList_No, CL_Multisite_SiteList_No},
    {CL_KDisp_Key_Conv_LeftUp, CL_KDisp_Key_Conv_LeftDn},
    {CL_KDisp_Key_Conv_DialCcw, CL_KDisp_Key_Conv_DialCcw},
    {CL_KDisp_Key_SmTr_LeftUp, CL_KDisp_Key_SmTr_LeftDn},
    {CL_KDisp_Key_SmTr_DialCcw, CL_KDisp_Key_SmTr_DialCcw},
    {CL_KDisp_SmaKey, CL_KDisp_SmaKey},
    {CL_KDisp_LED_LP0, CL_KDisp_LED_LP2},
    {CL_SetM_AudioFilt, CL_SetM_AudioFilt},
    {CL_USetM_AudioFilt, CL_USetM_AudioFilt},
    {CL_Comm_EmerIn, CL_Comm_EmerIn},
    {CL_Comm_EmerTim_On, CL_Comm_EmerTim_ReCycle},
    {CL_Exp_RxAf_Filter, CL_Exp_PSaveStartTimer_2},
    {CL_Exp_Select_ExPttFtsw, CL_Exp_DimIgsw},
    {CL_Dtmf_Decode_ChNo, CL_Dtmf_Decode_ChNo},
    {CL_Select_TX_Code, CL_Select_TX_Text},
    {CL_5TTx_DispDigit1, CL_5TTx_DispDigit0},
    {CL_UTone_Auto, CL_UTone_Auto},
    {CL_Maker_CtcssTone_Burst, CL_Maker_CtcssTone_Burst},
    {CL_Maker_MchPitch, CL_Maker_MchPitch},
    {CL_Maker_RollStart_RX, CL_Maker_DaSw_DelayTimer},
    {CL_Maker_mSFBW, CL_Model_MdcPmr_Mob},
    {CL_Mdc_Emg_Cnt_Beep, CL_Mdc_Emg_Beep_Type},
    {CL_Mdc_Emg_Beep_Time, CL_Mdc_Emg_Beep_Time},
    {CL_Mdc_Conv_Time, CL_Mdc_Conv_Time},
};

constexpr LabelRun kSilent[] = {
    {CL_Null, CL_Null},
    {Flex_Language_ChNo, Flex_Language_ChNo},
    {CL_Mdc_Alias2_Strip, CL_Mdc_Alias5_Text},
    {CL_NoLabel, CL_NoLabel},
};

bool InRuns(std::span<const LabelRun> runs, int label)
{
    return std::any_of(runs.begin(), runs.end(), [label](const LabelRun& r) { return label >= r.First && label <= r.Last; });
}

const std::vector<int>& DefaultList()
{
    static const std::vector<int> list = [] {
        std::vector<int> v;
        for (const LabelRun& r : kDefaultText)
            for (int l = r.First; l <= r.Last; ++l) v.push_back(l);
        std::sort(v.begin(), v.end());
        return v;
    }();
    return list;
}

// Family behaviours by label, joined on first use.
const std::array<LabelBehaviour, CL_NoLabel>& FamilyTable()
{
    static const std::array<LabelBehaviour, CL_NoLabel> table = [] {
        std::array<LabelBehaviour, CL_NoLabel> t{};
        for (std::span<const LabelBehaviourEntry> family : LabelFamilies()) {
            for (const LabelBehaviourEntry& e : family) {
                if (e.Label < 0 || e.Label >= CL_NoLabel || t[size_t(e.Label)] || IsDefaultTextLabel(e.Label) ||
                    IsSilentLabel(e.Label) || !e.Behaviour)
                    plat::Fatal("Illegal Cell assign. (" + std::to_string(e.Label) + ")");
                t[size_t(e.Label)] = e.Behaviour;
            }
        }
        return t;
    }();
    return table;
}

std::map<int, ScopedLabelBehaviour::Behaviour>& Overrides()
{
    static std::map<int, ScopedLabelBehaviour::Behaviour> overrides;
    return overrides;
}

} // namespace

std::span<const int> DefaultTextLabels() { return DefaultList(); }

bool IsDefaultTextLabel(int label) { return label > CL_NoLabel || InRuns(kDefaultText, label); }

bool IsSilentLabel(int label) { return InRuns(kSilent, label); }

LabelBehaviour FamilyBehaviour(int label)
{
    if (label < 0 || label >= CL_NoLabel) return nullptr;
    return FamilyTable()[size_t(label)];
}

void DefaultLabelBehaviour(indCellCall& call) { call.Cap->Text = std::to_string(call.Label) + " *Yet*"; }

void RunLabelBehaviour(indCellCall& call)
{
    const int label = call.Handled ? int(CL_Null) : call.Label;
    if (!Overrides().empty()) {
        auto it = Overrides().find(label);
        if (it != Overrides().end() && it->second) {
            it->second(call);
            return;
        }
    }
    if (label < 0 || IsSilentLabel(label)) return;
    if (IsDefaultTextLabel(label)) {
        DefaultLabelBehaviour(call);
        return;
    }
    // A label that no family serves (the unnamed ones) shows nothing.
    if (LabelBehaviour behaviour = FamilyBehaviour(label)) behaviour(call);
}

ScopedLabelBehaviour::ScopedLabelBehaviour(int label, Behaviour behaviour) : m_label(label)
{
    auto& slot = Overrides()[label];
    m_previous = std::move(slot);
    slot = std::move(behaviour);
}

ScopedLabelBehaviour::~ScopedLabelBehaviour()
{
    if (m_previous)
        Overrides()[m_label] = std::move(m_previous);
    else
        Overrides().erase(m_label);
}
