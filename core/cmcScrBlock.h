#pragma once
// An overlay command line split into its word and its arguments: the word
// runs up to the first blank or tab, and the rest of the line is a list of
// arguments separated by ','. Word and arguments are trimmed of blanks and
// tabs. "Bank 3, 7" gives the word "Bank" and the arguments "3" and "7"; a
// line without arguments still has one, the empty text.
#include <string>
#include <vector>

class cmcScrBlock {
public:
    explicit cmcScrBlock(const std::string& text);
    ~cmcScrBlock();

    const std::string& GetWord() const { return m_word; }
    // Argument i; "" when i is outside 0 to count - 1.
    std::string GetArg(int i) const;
    int GetCount() const { return static_cast<int>(m_args.size()); }
    // Resizes the argument list: the first arguments stay, new ones are empty.
    void SetCount(int n);

private:
    std::string m_word;
    std::vector<std::string> m_args;
};
