#include "tests/clone/CloneWorld.h"

#include "cells/ValueHandlers.h"
#include "core/EventIds.h"
#include "core/cmcGTex.h"
#include "core/cmcIcfFile.h"
#include "model/EepromMap.h"
#include "model/Packing.h"
#include "model/TableAccess.h"
#include "model/Unpacking.h"
#include "model/datCh.h"

#include <cstdlib>
#include <filesystem>

namespace clonetest {

namespace {

std::optional<std::string> SetEnv(const char* name, const std::string& value)
{
    std::optional<std::string> old;
    if (const char* v = std::getenv(name)) old = v;
    setenv(name, value.c_str(), 1);
    return old;
}

void RestoreEnv(const char* name, const std::optional<std::string>& old)
{
    if (old)
        setenv(name, old->c_str(), 1);
    else
        unsetenv(name);
}

// The initial file of the LMR model type, as the program loads it at start.
void LoadInitialImage(indMain& main)
{
    const dst_AdrRange ranges[] = {{0, EepromMap::CloneLast}, {1, 0}};
    cmcIcfFile file;
    file.SetImage(&main.InitialImage());
    file.SetModelCode(0x7143);
    file.SetMapRevCheck({[](void*, int mapRev) { return mapRev < 2; }, nullptr});
    file.SetHeaderCheck({[](void*, int model, int, int*) { return model == 0x7143 || model == 0x7148; }, nullptr});
    file.SetCompareSize(0xFF80);
    ASSERT_EQ(file.Load(BinFile("InitialLMR.icf"), ranges), kIcfOk);
    UnpackDefaults(main.InitialImage());
}

} // namespace

std::string BinFile(const std::string& name) { return std::string(QM_BIN_DIR) + "/" + name; }

CloneWorld::CloneWorld(bool manualTime)
{
    if (manualTime) time.emplace();
    m_oldConfig = SetEnv("XDG_CONFIG_HOME", (m_dir.Path() / "config").string());
    // The program's lock file goes into this world's own runtime folder; a
    // missing folder would send it to the system's temporary folder.
    std::filesystem::create_directories(m_dir.Path() / "run");
    m_oldRuntime = SetEnv("XDG_RUNTIME_DIR", (m_dir.Path() / "run").string());
    m_events = std::make_unique<cmcEvManHolder>();
    g_GTex.OpenOverlayFile(BinFile("QM7148HE.OVL"));
    g_GTexSys.OpenOverlayFile(BinFile("QM7148H.OVL"));
    m_environ = std::make_unique<indEnviron>("clone test " + m_dir.Path().filename().string(), "Software\\Test\\Clone",
                                             1024, 768);
    m_environ->ModelType = 0;
    m_environ->ComPort = kPort;
    m_environ->ComSpeedHigh = 1;
    m_previousEnviron = g_Environ;
    g_Environ = m_environ.get();
    m_main = std::make_unique<TestMain>();
    m_previousMain = g_Main;
    g_Main = m_main.get();
    LoadInitialImage(*m_main);
    Document().Assign(m_main->InitialImage());
    Pack(Document());
    m_main->MarkSaved();
    m_subscription = cmcEvSubscription(MemberEventHandler<&CloneWorld::OnEvent>(this));
}

CloneWorld::~CloneWorld()
{
    m_subscription.Reset();
    m_main.reset();
    g_Main = m_previousMain;
    g_Environ = m_previousEnviron;
    m_environ.reset();
    g_GTex.InitState();
    g_GTexSys.InitState();
    m_events.reset();
    RestoreEnv("XDG_CONFIG_HOME", m_oldConfig);
    RestoreEnv("XDG_RUNTIME_DIR", m_oldRuntime);
}

void CloneWorld::OnEvent(const dst_Event* event)
{
    if (event->type == ev::DataReplaced) ++dataReplaced;
}

std::vector<uint8_t> CloneWorld::RadioMemory(const std::function<void()>& edit, bool layout16)
{
    cmcEeprom kept(Document());
    edit();
    EXPECT_EQ(Static2Dynamic(Document(), false, false, layout16), kPackOk);
    std::vector<uint8_t> memory(Document().Data(), Document().Data() + EepromMap::CloneSize);
    Document().Assign(kept);
    return memory;
}

void SetChannel(int n, int rxHz)
{
    datCh ch(&g_Main->CurrentImage());
    ch.Unpack(MchRecordKind(), n);
    ch.RxFreq = rxHz;
    ch.TxFreq = rxHz;
    ch.Pack(MchRecordKind(), n);
}

int ChannelRx(cmcEeprom& image, int n)
{
    datCh ch(&image);
    return ch.Unpack(MchRecordKind(), n).RxFreq;
}

void FillBank0(int n, int baseHz)
{
    SetBankChannelCount(0, n);
    for (int i = 0; i < n; ++i) SetChannel(i, baseHz + 12500 * i);
}

std::vector<std::string> BoxTexts(const plat::ScopedDialogScript& dialogs)
{
    std::vector<std::string> texts;
    for (const plat::MessageBoxRecord& box : dialogs.Boxes()) texts.push_back(box.text);
    return texts;
}

} // namespace clonetest
