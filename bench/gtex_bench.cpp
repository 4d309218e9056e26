// Overlay text tables: indexing a file and walking every section line by
// line, the way sheet, menu and list builders read their layouts. The cost
// per line should not depend on the size of the file.
#include "core/cmcGTex.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

struct Section {
    std::string key;
    int lines;
};

struct Overlay {
    std::string path;
    std::vector<Section> sections;
    long lines = 0; // section lines, key lines not counted
};

// A folder of generated overlays, removed at exit.
class OverlayFolder {
public:
    OverlayFolder()
    {
        std::random_device seed;
        for (;;) {
            std::string name = "gtex-bench-";
            name += std::to_string(seed());
            m_path = std::filesystem::temp_directory_path() / name;
            if (std::filesystem::create_directory(m_path)) break;
        }
    }
    ~OverlayFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }

    // An overlay of about `totalLines` lines in sections of 10 to 40 lines,
    // with keys of varying length like those of real overlays.
    const Overlay& Get(long totalLines)
    {
        auto& overlay = m_overlays[totalLines];
        if (overlay) return *overlay;
        overlay = std::make_unique<Overlay>();
        std::string name = std::to_string(totalLines);
        name += ".ovl";
        overlay->path = (m_path / name).string();
        std::mt19937 random(static_cast<unsigned>(totalLines));
        std::uniform_int_distribution<int> sectionLength(10, 40);
        static const char* const kinds[] = {"_Style", "_BasicCell", "_Cells", "_Body", ""};
        std::ofstream out(overlay->path, std::ios::binary);
        long written = 0;
        for (int s = 0; written < totalLines; ++s) {
            Section section{"GI_Sheet_", sectionLength(random)};
            section.key += std::to_string(s);
            section.key += kinds[s % 5];
            out << '#' << section.key << '\n';
            for (int i = 0; i < section.lines; ++i)
                out << "{<B}Cell " << i << " of " << s << "|(%CT_Null.CL_Flex" << i % 7 << ")|{>}" << s * i << '\n';
            written += section.lines + 1;
            overlay->lines += section.lines;
            overlay->sections.push_back(std::move(section));
        }
        out << "#End_Of_Ovl\n";
        return *overlay;
    }

private:
    std::filesystem::path m_path;
    std::map<long, std::unique_ptr<Overlay>> m_overlays;
};

OverlayFolder& Folder()
{
    static OverlayFolder folder;
    return folder;
}

void IndexAndWalkEverySection(benchmark::State& state)
{
    const Overlay& overlay = Folder().Get(state.range(0));
    for (auto _ : state) {
        cmcGTex table;
        table.OpenOverlayFile(overlay.path);
        for (const Section& section : overlay.sections) {
            for (int n = 0; n < section.lines; ++n) benchmark::DoNotOptimize(table.GetText(section.key, n));
        }
    }
    state.SetItemsProcessed(state.iterations() * overlay.lines);
    state.counters["per_line"] = benchmark::Counter(static_cast<double>(overlay.lines),
                                                       benchmark::Counter::kIsIterationInvariantRate |
                                                           benchmark::Counter::kInvert);
    state.counters["keys"] = static_cast<double>(overlay.sections.size());
}

} // namespace

BENCHMARK(IndexAndWalkEverySection)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
