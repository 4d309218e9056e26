#include "core/cmcScrBlock.h"

#include "core/TextFunctions.h"

cmcScrBlock::cmcScrBlock(const std::string& text)
{
    std::string line(SkipBlanks(std::string_view(text)));
    size_t blank = line.find_first_of(" \t");
    m_word = line.substr(0, blank);
    TrimBlanks(m_word);
    std::string rest = blank == std::string::npos ? std::string() : line.substr(blank);
    TrimBlanks(rest);
    for (int n = 0;; ++n) {
        std::optional<std::string> arg = ExtractField(rest, ',', n);
        if (!arg) break;
        TrimBlanks(*arg);
        m_args.push_back(std::move(*arg));
    }
}

cmcScrBlock::~cmcScrBlock() = default;

std::string cmcScrBlock::GetArg(int i) const
{
    if (i < 0 || i >= GetCount()) return {};
    return m_args[static_cast<size_t>(i)];
}

void cmcScrBlock::SetCount(int n) { m_args.resize(n < 0 ? 0 : static_cast<size_t>(n)); }
