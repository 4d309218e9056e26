// QM7148H, the cloning program: reads a radio's clone memory, edits it as
// sheets of cells, keeps it in clone files and writes it back.
#include "model/ProgramEntry.h"
#include "platform/base/Fatal.h"
#include "platform/base/Folders.h"
#include "platform/ui/Application.h"
#include "platform/ui/Help.h"

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    plat::SetProgramFileName(argc > 0 ? argv[0] : "QM7148H");
    plat::Application application(argc, argv);
    // The help opens in the desktop's web browser.
    plat::ScopedHelpHandler help(plat::ShowHelpInBrowser);
    const std::vector<std::string> arguments(argv, argv + argc);
    return RunCloningProgram(application, arguments, plat::ProgramFolder());
}
