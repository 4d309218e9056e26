#include "model/ProgramEntry.h"

#include "model/TForm1.h"
#include "platform/ui/Application.h"
#include "platform/ui/MessageBox.h"

#include <exception>

ProgramGlobals::ProgramGlobals(const std::string& programFolder)
    : m_environ(plat::ScreenSize().cx, plat::ScreenSize().cy), m_main(programFolder)
{
}

ProgramGlobals::~ProgramGlobals() = default;

int RunCloningProgram(plat::Application& application, const std::vector<std::string>& arguments,
                      const std::string& programFolder)
{
    ProgramGlobals globals(programFolder);
    // The refusal was shown when the environment found the other instance.
    if (!globals.Environ().IsStartAllowed()) return 0;
    globals.Main().SetCommandLine(arguments);
    try {
        TForm1 form;
        return application.Run(form);
    } catch (const std::exception& e) {
        plat::MessageBox(e.what(), plat::ApplicationTitle(), plat::MB_OK | plat::MB_ICONERROR);
    }
    return 0;
}
