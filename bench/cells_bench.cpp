// The cell engine rendering a channel sheet: every cell of a bank of n
// channels plus its empty row, about 30 columns, run through
// indActiveCell::Exec the way a sheet draws them (no key, no grid). The
// columns run the value handlers as the channel columns do: frequencies,
// tones, names, choice lists, numbers and flags. The cost per cell should
// not grow with the number of channels.
#include "cells/LabelDispatch.h"
#include "cells/RadioHandlers.h"
#include "cells/ValueHandlers.h"
#include "cells/indActiveCell.h"
#include "cells/indCellCall.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcCellObj.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "model/ImageBytes.h"
#include "model/TableAccess.h"
#include "model/indEnviron.h"
#include "model/indMain.h"
#include "platform/base/Clock.h"
#include "platform/base/Timer.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Overlay()
{
    std::vector<std::string> lines = {"#GI_AppUnitIdMax", "65519", "#GI_Sys_AppTitle", "Radio Programmer",
                                      "#GI_AppInd_TimerOff", "Off", "#GI_AddCH", ""};
    auto list = [&](const std::string& key, const std::vector<std::string>& names) {
        lines.push_back("#" + key + "_Cells");
        std::string line;
        for (size_t i = 0; i < names.size(); ++i) {
            if (i) line += "|";
            line += "{(%Flex0[" + std::to_string(i) + "])}" + names[i];
        }
        lines.push_back(line);
    };
    list("GI_Sheet_Sel_Mch_RfPwr", {"High", "Low 1", "Low 2", "Low 3"});
    list("GI_Sheet_Sel_Mch_Nar", {"Wide", "Narrow"});
    list("GI_Sheet_Sel_Misc_OnOff2", {"OFF", "ON"});
    list("GI_Sheet_Sel_Mch_Lockout", {"OFF", "Busy", "Repeater", "Busy Repeater"});
    list("GI_Sheet_Sel_Mch_ScramOn", {"OFF", "ON", "Select"});
    list("GI_Sheet_Sel_Mch_SQL_Type", {"Carrier", "Tone", "Code", "Tone and Code"});
    std::vector<std::string> tones;
    for (int i = 0; i < 54; ++i) tones.push_back(std::to_string(67 + i * 3) + ".0");
    list("GI_Sheet_Sel_Mch_CTone", tones);
    lines.push_back("#GI_AppItem_Ctcss");
    lines.push_back("67.0,70.0,73.0");
    lines.push_back("#End_Of_Ovl");
    return lines;
}

void Choice(indCellCall& call, const char* key, int value)
{
    ChooseFromList(call.Cap, key, value, call.Result);
}

// The columns of the sheet with behaviours like those of the channel cells.
const std::vector<std::pair<int, ScopedLabelBehaviour::Behaviour>>& Columns()
{
    static const std::vector<std::pair<int, ScopedLabelBehaviour::Behaviour>> columns = {
        {CL_Mch_FreqR, [](indCellCall& c) { EditFrequency(c.Cap, c.Rec, true, c.Result); }},
        {CL_Mch_FreqT, [](indCellCall& c) { EditFrequency(c.Cap, c.Rec, false, c.Result); }},
        {CL_Mch_CTone_R, [](indCellCall& c) { EditChannelTone(c.Cap, c.Rec, true, c.Result); }},
        {CL_Mch_CTone_T, [](indCellCall& c) { EditChannelTone(c.Cap, c.Rec, false, c.Result); }},
        {CL_Mch_Text, [](indCellCall& c) { EditPlainText(c.Cap, c.Rec.Text, 12, c.Result); }},
        {CL_Mch_RfPo, [](indCellCall& c) { Choice(c, "GI_Sheet_Sel_Mch_RfPwr", c.Rec.ChFlagsB.RfPo); }},
        {CL_Mch_Nar, [](indCellCall& c) { Choice(c, "GI_Sheet_Sel_Mch_Nar", c.Rec.ChFlagsB.Nar); }},
        {CL_Mch_Inh, [](indCellCall& c) { Choice(c, "GI_Sheet_Sel_Misc_OnOff2", c.Rec.ChFlagsA.Inh); }},
        {CL_Mch_TxInh, [](indCellCall& c) { Choice(c, "GI_Sheet_Sel_Misc_OnOff2", c.Rec.ChFlagsA.TxInh); }},
        {CL_Mch_Compander, [](indCellCall& c) { Choice(c, "GI_Sheet_Sel_Misc_OnOff2", c.Rec.ChFlagsB.Compander); }},
        {CL_Mch_PwrSave, [](indCellCall& c) { Choice(c, "GI_Sheet_Sel_Misc_OnOff2", c.Rec.ChFlagsB.PwrSave); }},
        {CL_Mch_Tot, [](indCellCall& c) { Choice(c, "GI_Sheet_Sel_Misc_OnOff2", c.Rec.ChFlagsB.Tot); }},
        {CL_Mch_Lockout, [](indCellCall& c) { Choice(c, "GI_Sheet_Sel_Mch_Lockout", c.Rec.Lockout & 3); }},
        {CL_Mch_AutoChScan, [](indCellCall& c) { Choice(c, "GI_Sheet_Sel_Misc_OnOff2", c.Rec.ChFlagsB.AutoChScan); }},
        {CL_Mch_Scan_Inc, [](indCellCall& c) { Choice(c, "GI_Sheet_Sel_Misc_OnOff2", int(c.Rec.ScanInc)); }},
        {CL_Mch_Scrm_On, [](indCellCall& c) { Choice(c, "GI_Sheet_Sel_Mch_ScramOn", c.Rec.Scrm.ScrmOn); }},
        {CL_Mch_Scrm_Code, [](indCellCall& c) {
             int v = int(c.Rec.ScrmCode);
             EditIntWrap(c.Cap, v, 1, 32, c.Result);
         }},
        {CL_Mch_Sql_Tight, [](indCellCall& c) { Choice(c, "GI_Sheet_Sel_Misc_OnOff2", int(c.Rec.SqlTight)); }},
        {CL_Mch_SQL_Type, [](indCellCall& c) { Choice(c, "GI_Sheet_Sel_Mch_SQL_Type", c.Rec.ChFlagsF.SqlType); }},
        {CL_Mch_Fast_Mute, [](indCellCall& c) { Choice(c, "GI_Sheet_Sel_Misc_OnOff2", c.Rec.ChFlagsF.FastMute); }},
        {CL_Mch_RxNac, [](indCellCall& c) {
             int v = int(c.Rec.RxNac);
             EditHexNumber(c.Cap, v, 0, 0xFFF, 3, c.Result);
         }},
        {CL_Mch_TxNac, [](indCellCall& c) {
             int v = int(c.Rec.TxNac);
             EditHexNumber(c.Cap, v, 0, 0xFFF, 3, c.Result);
         }},
        {CL_Mch_Unit_Dec, [](indCellCall& c) {
             int v = int(c.Rec.UnitDec);
             EditIntWrap(c.Cap, v, 0, c.UnitIdMax, c.Result);
         }},
        {CL_Mch_Ind_List, [](indCellCall& c) {
             int v = int(c.Rec.IndList);
             EditNumber(c.Cap, v, 3, 0, 500, false, c.Result);
         }},
        {CL_Mch_TG_List, [](indCellCall& c) {
             int v = int(c.Rec.TgList);
             EditNumber(c.Cap, v, 3, 0, 500, false, c.Result);
         }},
        {CL_Mch_Encryption_No, [](indCellCall& c) {
             int v = int(c.Rec.EncryptionNo);
             EditIntWrap(c.Cap, v, 0, 15, c.Result);
         }},
        {CL_Mch_Scan_List, [](indCellCall& c) {
             int v = int(c.Rec.ScanList);
             EditBitField(c.Cap, v, 1, 8, 0, "", c.Result);
         }},
        {CL_Mch_Log, [](indCellCall& c) {
             int v = c.Rec.ChFlagsC.Log;
             EditHexDigit(c.Cap, v, true, c.Result);
         }},
        {CL_Mch_Atr, [](indCellCall& c) {
             uint8_t a = uint8_t(c.Rec.Attr.Value() & 0xFF), b = uint8_t(c.Rec.Attr.Value() >> 8);
             EditFlagLetters(c.Cap, "GI_Sheet_Sel_Mch_Atr", a, b, c.Result);
         }},
        {CL_Mch_No, [](indCellCall& c) { c.Cap->Text = std::to_string(c.Index - c.Bank.First + 1); }},
    };
    return columns;
}

class World {
public:
    World()
        : m_folder(std::filesystem::temp_directory_path() / ("cells-bench-" + std::to_string(std::random_device()()))),
          m_clockGuard(m_clock), m_host(m_clock), m_hostGuard(m_host)
    {
        std::filesystem::create_directories(m_folder);
        setenv("XDG_CONFIG_HOME", (m_folder / "config").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", m_folder.c_str(), 1);
        g_GTex.InitState();
        g_GTex.OpenOverlayLines(Overlay());
        m_events = std::make_unique<cmcEvManHolder>();
        m_environ = std::make_unique<indEnviron>("cells bench", "Software\\Bench\\Cells", 1024, 768);
        g_Environ = m_environ.get();
        m_main = std::make_unique<indMainHolder>();
        m_subscription = cmcEvSubscription(MemberEventHandler<&World::OnEvent>(this));
        for (const auto& [label, behaviour] : Columns())
            m_behaviours.push_back(std::make_unique<ScopedLabelBehaviour>(label, behaviour));
    }
    ~World()
    {
        m_behaviours.clear();
        m_subscription.Reset();
        m_main.reset();
        g_Environ = nullptr;
        m_environ.reset();
        m_events.reset();
        g_GTex.InitState();
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }

    // Bank 0 holds n channels, each with frequencies, tones and a name.
    void Fill(int n)
    {
        cmcEeprom& image = g_Main->CurrentImage();
        image.Fill(0);
        ImageBytes(&image).SetU16(WorkTables::BankCounts, uint32_t(n));
        datCh ch(&image);
        for (int i = 0; i < n; ++i) {
            ch.Unpack(1, i);
            ch.RxFreq = 146000000 + 12500 * i;
            ch.TxFreq = i % 3 ? ch.RxFreq : ch.RxFreq + 600000;
            ch.RxTone.On = 1;
            ch.RxTone.AnalogIndex = uint16_t(i % 50);
            ch.TxTone = ch.RxTone;
            const std::string name = "CH " + std::to_string(i) + "          ";
            std::copy(name.begin(), name.begin() + 12, ch.Text);
            ch.ChFlagsB.RfPo = i % 4;
            ch.Pack(1, i);
        }
    }

private:
    void OnEvent(const dst_Event* event)
    {
        if (event->mode == dst_Event::Queried && event->type == ev::QueryCurrentBank) g_EvMan->Reply(0, 0);
    }

    std::filesystem::path m_folder;
    plat::ManualClock m_clock;
    plat::ScopedClock m_clockGuard;
    plat::ManualTimerHost m_host;
    plat::ScopedTimerHost m_hostGuard;
    std::unique_ptr<cmcEvManHolder> m_events;
    std::unique_ptr<indEnviron> m_environ;
    std::unique_ptr<indMainHolder> m_main;
    cmcEvSubscription m_subscription;
    std::vector<std::unique_ptr<ScopedLabelBehaviour>> m_behaviours;
};

void RenderChannelSheet(benchmark::State& state)
{
    const int channels = int(state.range(0));
    World world;
    world.Fill(channels);
    std::vector<cmcCellObj> row(Columns().size());
    for (size_t c = 0; c < row.size(); ++c) {
        row[c].Category = CT_Mch;
        row[c].Label = Columns()[c].first;
    }
    indActiveCell engine;
    cmcCellCapsule capsule;
    const long cells = long(channels + 1) * long(row.size());  // the empty row too
    size_t characters = 0;
    for (auto _ : state) {
        for (int r = 0; r <= channels; ++r) {
            for (cmcCellObj& cell : row) {
                cell.Index = r;
                capsule.Reset();
                capsule.Cell = &cell;
                engine.Exec(&capsule, 0);
                characters += capsule.Text.size();
            }
        }
    }
    benchmark::DoNotOptimize(characters);
    state.counters["cells"] = double(cells);
    state.counters["per_cell"] =
        benchmark::Counter(double(cells), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(RenderChannelSheet)->Arg(16)->Arg(64)->Arg(128)->Arg(256)->Arg(512)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
