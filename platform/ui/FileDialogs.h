#pragma once
// File dialogs: the user picks a file to open or a name to save under.
//
// Filter: "description|pattern|description|pattern...", a pattern being
// one or more masks joined by ';' ("Clone files|*.icf;*.ICF|All files|*.*").
// A picked name without an extension gets the default extension (when there
// is one; when opening, only if no file has the name as picked). Opening
// accepts only a file that exists. Saving refuses a file
// that cannot be written (read-only, or a folder) and asks before replacing
// a file; a refusal or a "No" lets the user pick again. While a test script
// is installed (TestHooks.h) the script answers instead of the user, and
// the questions and refusals are its message boxes.
#include <string>

namespace plat {

class Control;

struct FileDialog {
    std::string title;      // the caption; "" for "Open" or "Save As"
    std::string filter;     // see above; "" shows every file
    std::string defaultExt; // without the dot
    std::string initialDir;
    std::string fileName; // proposed at the start; the picked file after Execute
};

// Both return false when the user cancels (fileName is then unchanged).
bool ExecuteOpenDialog(FileDialog& dialog, const Control* owner = nullptr);
bool ExecuteSaveDialog(FileDialog& dialog, const Control* owner = nullptr);

} // namespace plat
