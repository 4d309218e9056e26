#pragma once
// Saving a whole file so that a failure never destroys the previous one: the
// bytes go to a temporary file in the target's folder; every write, the
// flush to the disk and the close are checked, and only then is the
// temporary file renamed over the target. On any failure the temporary file
// is removed and the target is left exactly as it was.
#include <string>
#include <string_view>

namespace plat {

enum class SaveResult {
    Saved,
    CannotCreate,  // the temporary file could not be created
    WriteFailed,   // a write, the flush, the close or the rename failed
};

SaveResult SaveFileAtomically(const std::string& path, std::string_view bytes);

} // namespace plat
