#pragma once
// The cloning program's main object set up for its clone commands, without
// the rest of its window: the overlay and initial files the build places
// beside the program, the environment with its settings in a temporary
// folder, the event manager, a main object whose document hooks a test can
// answer, and scripted answers for every message box and dialog. The document
// starts as after "New": the initial file's defaults, packed, saved and
// untitled.
#include "core/cmcEvMan.h"
#include "model/indEnviron.h"
#include "model/indMain.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TestHooks.h"
#include "tests/support/TestSupport.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace clonetest {

// The COM port the tests use.
constexpr int kPort = 6;

// A file the build placed beside the program.
std::string BinFile(const std::string& name);

// The main object with the document hooks answered by the test.
class TestMain : public indMain {
public:
    int saveAnswer = plat::IDYES; // the answer to the offer to save
    int checkListErrors = 0;
    int offersToSave = 0;
    int sheetsClosed = 0;
    int infoDialogs = 0;

    int CloneAskSaveChanges() override
    {
        ++offersToSave;
        return saveAnswer;
    }
    void CloneCloseSheet() override
    {
        ++sheetsClosed;
        indMain::CloneCloseSheet();
    }
    int CloneCheckListErrors() override { return checkListErrors; }
    void CloneShowInformationDialog() override { ++infoDialogs; }
    void SetMainForm(plat::Form* form) { m_mainForm = form; }
};

class CloneWorld {
public:
    // manualTime: the manual clock and timer host (for the in-memory line);
    // otherwise the real clock and Qt's timers (for a pseudo-terminal).
    explicit CloneWorld(bool manualTime);
    ~CloneWorld();
    CloneWorld(const CloneWorld&) = delete;
    CloneWorld& operator=(const CloneWorld&) = delete;

    TestMain& Main() { return *m_main; }
    cmcEeprom& Document() { return m_main->CurrentImage(); }
    indEnviron& Environ() { return *m_environ; }

    // A clone memory as a radio holds it: the document's defaults with the
    // edit applied (through the data layer, on the document), packed in the
    // 16-bit or the 32-bit layout. The document is left as it was.
    std::vector<uint8_t> RadioMemory(const std::function<void()>& edit, bool layout16);

    // What happened: the data-replaced event.
    int dataReplaced = 0;

    std::optional<qmtest::ManualTime> time;
    plat::ScopedDialogScript dialogs;

private:
    void OnEvent(const dst_Event* event);

    qmtest::TempDir m_dir;
    std::optional<std::string> m_oldConfig;
    std::optional<std::string> m_oldRuntime;
    std::unique_ptr<cmcEvManHolder> m_events;
    std::unique_ptr<indEnviron> m_environ;
    indEnviron* m_previousEnviron = nullptr;
    std::unique_ptr<TestMain> m_main;
    indMain* m_previousMain = nullptr;
    cmcEvSubscription m_subscription;
};

// Channel n of the model's record kind in the current document: its receive
// frequency (0: not in use).
void SetChannel(int n, int rxHz);
int ChannelRx(cmcEeprom& image, int n);
// Channels 0..n-1 in bank 0, with frequencies from base in 12.5 kHz steps.
void FillBank0(int n, int baseHz);

// The message box texts shown so far.
std::vector<std::string> BoxTexts(const plat::ScopedDialogScript& dialogs);

} // namespace clonetest
