// The cell engine rendering a channel sheet: every cell of a bank of n
// channels plus its empty row, 30 columns of the memory channel family, run
// through indActiveCell::Exec the way a sheet draws them (no key, no grid).
// The columns show frequencies, tones, names, choice lists, numbers, bit
// fields and list references through their value handlers. The cost per cell
// should not grow with the number of channels.
#include "cells/indActiveCell.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcCellObj.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "model/ImageBytes.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
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
                                      "#GI_AppInd_TimerOff", "Off", "#GI_AddCH", "", "#GI_NewChTitle", "New"};
    auto list = [&](const std::string& key, const std::vector<std::string>& names) {
        lines.push_back("#" + key + "_Cells");
        for (size_t i = 0; i < names.size(); ++i) lines.push_back("{(%Flex0[" + std::to_string(i) + "])}" + names[i]);
    };
    list("GI_Sheet_Sel_Mch_RfPwr", {"High", "Low 1", "Low 2", "Low 3"});
    list("GI_Sheet_Sel_Mch_Nar", {"Wide", "Narrow"});
    list("GI_Sheet_Sel_Mch_ChInh", {"Off", "Inhibit"});
    list("GI_Sheet_Sel_Mch_CH_TxInh", {"Off", "Inhibit"});
    list("GI_Sheet_Sel_Misc_OnOff2", {"OFF", "ON"});
    list("GI_Sheet_Sel_Mch_Lockout_LmrP25", {"OFF", "Busy", "Repeater", "Busy Repeater"});
    list("GI_Sheet_Sel_Mch_ScanInc", {"Skip", "Scan"});
    list("GI_Sheet_Sel_Mch_ScramOn", {"OFF", "ON", "Select"});
    list("GI_Sheet_Sel_Mch_ScramType", {"Type 1", "Type 2", "Type 3", "Type 4"});
    list("GI_Sheet_Sel_Mch_SQL_Type", {"Carrier", "Tone", "Code", "Tone and Code"});
    list("GI_Sheet_Sel_Mch_AutoReset_Lmr", {"Off", "Timer A", "Timer B", "Both"});
    list("GI_Sheet_Sel_Mch_Log_Lmr", {"Off", "Receive", "Transmit", "Both"});
    list("GI_Sheet_Sel_Mch_Dig_Signal", {"Analog", "Mixed", "Mixed", "Digital"});
    list("GI_Sheet_Sel_Mch_Atr", {"(no change)", "A", "B", "E", "Clear E", "", "", "H", "Clear H"});
    std::vector<std::string> numbers;
    for (int i = 0; i < 64; ++i) numbers.push_back(std::to_string(i));
    list("GI_Sheet_Sel_EncryptionList", numbers);
    std::vector<std::string> tones;
    for (int i = 0; i < 52; ++i) tones.push_back(std::to_string(67 + i * 3) + ".0");
    tones.push_back("Off");
    list("GI_Sheet_Sel_Mch_CTone", tones);
    lines.push_back("#GI_AppItem_Ctcss");
    std::string names;
    for (int i = 0; i < 52; ++i) names += (i ? "," : "") + tones[size_t(i)];
    lines.push_back(names);
    for (const char* key : {"GI_Sheet_Sel_IndList", "GI_Sheet_Sel_TGList"}) {
        lines.push_back(std::string("#") + key + "_Cells");
        lines.push_back("{}No.");
    }
    lines.push_back("#End_Of_Ovl");
    return lines;
}

// The columns of the sheet: labels of the memory channel family.
const std::vector<int>& Columns()
{
    static const std::vector<int> columns = {
        CL_Mch_No,       CL_Mch_Atr,        CL_Mch_Inh,        CL_Mch_FreqR,      CL_Mch_FreqT,
        CL_Mch_TxInh,    CL_Mch_Nar,        CL_Mch_CTone_R,    CL_Mch_CTone_T,    CL_Mch_Text,
        CL_Mch_Compander, CL_Mch_PwrSave,   CL_Mch_Tot,        CL_Mch_RfPo,       CL_Mch_Lockout,
        CL_Mch_Scan,     CL_Mch_AutoChScan, CL_Mch_AutoReset,  CL_Mch_Log,        CL_Mch_Scan_Inc,
        CL_Mch_Scrm_On,  CL_Mch_Scrm_Type,  CL_Mch_Scrm_Code,  CL_Mch_Sql_Tight,  CL_Mch_Dig_Sig,
        CL_Mch_RxNac,    CL_Mch_TxNac,      CL_Mch_Unit_Dec,   CL_Mch_Ind_List,   CL_Mch_SQL_Type,
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
    }
    ~World()
    {
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
            ch.ScanMask = uint32_t(i) & 0x1FFFF;
            ch.RxNac = ch.TxNac = uint32_t(i % 64);
            ch.ChFlagsF.DigSig = i % 4;
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
};

void RenderChannelSheet(benchmark::State& state)
{
    const int channels = int(state.range(0));
    World world;
    world.Fill(channels);
    std::vector<cmcCellObj> row(Columns().size());
    for (size_t c = 0; c < row.size(); ++c) {
        row[c].Category = CT_Mch;
        row[c].Label = Columns()[c];
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
