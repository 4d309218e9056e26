// QM7150Q, the flash loader: writes the firmware image it carries into the
// radio's flash memory through a serial port.
#include "flashloader/TfrmMain.h"
#include "flashloader/TfrmPassword.h"
#include "platform/base/Fatal.h"
#include "platform/ui/Application.h"
#include "platform/ui/MessageBox.h"

#include <exception>

int main(int argc, char** argv)
{
    plat::SetProgramFileName(argc > 0 ? argv[0] : "QM7150Q");
    plat::Application application(argc, argv);
    try {
        plat::SetApplicationTitle(fl::kProductText);
        // The main window lives until the loop ends; destroying it saves the
        // COM port. The password dialog belongs to it; the COM port dialog is
        // made for each use.
        fl::TfrmMain frmMain;
        new fl::TfrmPassword(frmMain);
        return application.Run(frmMain);
    } catch (const std::exception& e) {
        plat::MessageBox(e.what(), plat::ApplicationTitle(), plat::MB_OK | plat::MB_ICONERROR);
    }
    return 1;
}
