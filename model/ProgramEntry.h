#pragma once
// The top of the cloning program: its global objects, built in this order
// and destroyed in the reverse order, and the program's run.
//
//   g_Environ  the instance lock and the settings (a second instance is
//              refused here, before any overlay is read)
//   g_EvMan    the event manager with its 10 ms pump
//   g_Main     the main object: opens the overlays, makes the images
//
// The text tables g_GTexSys, g_GTex and g_GTexHelp exist from the start and
// are opened by the main object. g_Main goes first, before the event manager
// it is subscribed to and before g_Environ, which saves the settings.
#include "core/cmcEvMan.h"
#include "model/indEnviron.h"
#include "model/indMain.h"

#include <string>
#include <vector>

namespace plat {
class Application;
}

class ProgramGlobals {
public:
    // CreateGlobals: the program's files are taken from the folder.
    explicit ProgramGlobals(const std::string& programFolder);
    // DestroyGlobals.
    ~ProgramGlobals();
    ProgramGlobals(const ProgramGlobals&) = delete;
    ProgramGlobals& operator=(const ProgramGlobals&) = delete;

    indEnviron& Environ() { return m_environ.Get(); }
    indMain& Main() { return m_main.Get(); }

private:
    indEnvironHolder m_environ;
    cmcEvManHolder m_events;
    indMainHolder m_main;
};

// The program's run with its command line (argument 0 the program): the
// globals, the refusal of a second instance (exit code 0), the main form
// and the message loop. An exception that reaches this level is shown in an
// error box.
int RunCloningProgram(plat::Application& application, const std::vector<std::string>& arguments,
                      const std::string& programFolder);
