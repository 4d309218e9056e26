// Overlay text tables: any bytes as an overlay file, and the same lines as
// a line array. Every key the text holds is asked for (lines 0 to 3 and the
// multi-line text), then again in the opposite order: the cursors and the
// line cache change only the speed, so the answers must not change, and the
// file and the line array must answer alike.
#include "core/cmcGTex.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

std::string g_path;

// The lines of the text as the file reader sees them: "\n" or "\r\n" ends a
// line; no empty line after the last line end.
std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        size_t stop = end > start && text[end - 1] == '\r' ? end - 1 : end;
        lines.emplace_back(text.substr(start, stop - start));
        start = end + 1;
    }
    return lines;
}

using Query = std::pair<std::string, int>; // key, line (-1: the multi-line text)
using Answers = std::map<Query, std::string>;

// Asks every query in order; nullopt once one is fatal (the program would
// have ended there).
std::optional<Answers> Ask(cmcGTex& table, const std::vector<Query>& queries)
{
    Answers answers;
    try {
        for (const Query& q : queries)
            answers[q] = q.second < 0 ? table.GetMultiLineText(q.first) : table.GetText(q.first, q.second);
    } catch (const plat::FatalError&) {
        return std::nullopt;
    }
    return answers;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qmfuzz::InstallThrowingFatal();
    const char* shm = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    g_path = std::string(shm) + "/qm-fuzz-gtex-" + std::to_string(getpid()) + ".ovl";
    std::atexit([] { std::remove(g_path.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = SplitLines(text);

    std::vector<Query> queries;
    bool longLine = false;
    for (const std::string& line : lines) {
        longLine = longLine || line.size() > static_cast<size_t>(cmcGTex::LineLimit - 1);
        if (line.size() < 2 || line[0] != '#' || queries.size() >= 4 * 8) continue;
        const std::string key = line.substr(1, std::min<size_t>(line.size() - 1, 64));
        for (int n : {0, 2, 1, -1}) queries.push_back({key, n});
    }
    queries.push_back({"End_Of_Ovl", 0});
    std::vector<Query> backwards(queries.rbegin(), queries.rend());

    FILE* f = std::fopen(g_path.c_str(), "wb");
    if (f == nullptr) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    cmcGTex file;
    file.OpenOverlayFile(g_path);
    std::optional<Answers> first = Ask(file, queries);
    if (first) {
        std::optional<Answers> again = Ask(file, backwards);
        qmfuzz::Require(again && *again == *first, "an overlay file answers differently when asked again");
    }

    cmcGTex array;
    array.OpenOverlayLines(lines);
    std::optional<Answers> fromLines = Ask(array, queries);
    // A line array cuts an overlong line where the file splits it.
    if (!longLine) qmfuzz::Require(fromLines == first, "the line array and the file answer differently");
    return 0;
}
