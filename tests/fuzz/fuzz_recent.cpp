// The recent-file list and overlay command lines, on any text: each line is
// an operation on the list (its first byte chooses which) with a path, and
// each line is also split as an overlay command line. The list never holds
// more than its capacity or a path twice; a command line's word holds no
// blank and its arguments are trimmed and hold no comma.
//
// Input: the capacity byte, then lines.
#include "core/cmcRecent.h"
#include "core/cmcScrBlock.h"
#include "tests/fuzz/FuzzSupport.h"

#include <set>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qmfuzz::InstallThrowingFatal();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using qmfuzz::Require;
    qmfuzz::Input in(data, size);
    cmcRecent recent(static_cast<int8_t>(in.Byte()) % 13);

    while (!in.Empty()) {
        const std::string line(in.Until('\n'));
        const char op = line.empty() ? ' ' : line[0];
        const std::string path = line.empty() ? line : line.substr(1);
        switch (static_cast<uint8_t>(op) % 4) {
        case 0:
            recent.AddFront(path);
            if (recent.Capacity() > 0) Require(recent.Path(0) == path, "an added path is not first");
            break;
        case 1: recent.AddBack(path); break;
        case 2: recent.Remove(path); break;
        default:
            for (int i = -1; i <= recent.Count(); ++i) {
                const std::string shown = recent.DisplayName(i, path);
                const std::string full = recent.Path(i);
                Require(full.size() >= shown.size() && full.compare(full.size() - shown.size(), shown.size(), shown) == 0,
                        "a display name that is no tail of its path");
            }
            break;
        }
        Require(recent.Count() <= recent.Capacity(), "more entries than the capacity");
        std::set<std::string> seen;
        for (int i = 0; i < recent.Count(); ++i) Require(seen.insert(recent.Path(i)).second, "a path listed twice");

        cmcScrBlock block(line);
        Require(block.GetWord().find_first_of(" \t") == std::string::npos, "a blank in a command word");
        Require(block.GetCount() >= 1, "a command line without arguments");
        for (int i = 0; i < block.GetCount(); ++i) {
            const std::string arg = block.GetArg(i);
            Require(arg.find(',') == std::string::npos, "a comma in an argument");
            Require(arg.empty() || (arg.front() != ' ' && arg.front() != '\t' && arg.back() != ' ' && arg.back() != '\t'),
                    "an argument that is not trimmed");
        }
        Require(block.GetArg(block.GetCount()).empty() && block.GetArg(-1).empty(), "an argument outside the list");
    }
    return 0;
}
