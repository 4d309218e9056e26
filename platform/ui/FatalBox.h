#pragma once

namespace plat {

// Routes fatal messages to an error message box once the application object
// of the window system exists (see Fatal.h).
void InstallFatalMessageBox();

} // namespace plat
