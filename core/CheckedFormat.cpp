#include "core/CheckedFormat.h"

#include <cstdio>
#include <vector>

namespace {

constexpr int kMaxWidth = 255;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a decimal number of at most a few digits; false when it is too big.
bool ReadCount(std::string_view format, size_t& at, int& value)
{
    value = 0;
    while (at < format.size() && IsDigit(format[at])) {
        value = value * 10 + (format[at] - '0');
        if (value > kMaxWidth) return false;
        ++at;
    }
    return true;
}

} // namespace

std::string CheckedFormat(std::string_view format, std::initializer_list<FormatArg> args)
{
    const std::vector<const FormatArg*> values = [&] {
        std::vector<const FormatArg*> v;
        for (const FormatArg& a : args) v.push_back(&a);
        return v;
    }();
    size_t next = 0;
    std::string out;
    out.reserve(format.size() + 16);

    size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        if (c != '%') {
            out.push_back(c);
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out.push_back('%');
            i += 2;
            continue;
        }
        // Parse a conversion starting at i.
        size_t at = i + 1;
        std::string flags;
        while (at < format.size() && std::string_view("-+0").find(format[at]) != std::string_view::npos)
            flags.push_back(format[at++]);
        int width = 0, precision = -1;
        bool ok = ReadCount(format, at, width);
        if (ok && at < format.size() && format[at] == '.') {
            ++at;
            ok = ReadCount(format, at, precision);
        }
        while (ok && at < format.size() && (format[at] == 'h' || format[at] == 'l')) ++at;
        const char conversion = ok && at < format.size() ? format[at] : '\0';
        const bool numeric = std::string_view("diuxXoc").find(conversion) != std::string_view::npos && conversion;
        const bool text = conversion == 's';
        const FormatArg* value = next < values.size() ? values[next] : nullptr;
        if (!value || !(numeric || text) || (numeric && value->IsText()) || (text && !value->IsText())) {
            out.push_back('%');
            ++i;
            continue;
        }
        std::string spec(1, '%');
        spec += flags;
        if (width > 0) spec += std::to_string(width);
        // A precision means nothing to a character (and is undefined there).
        if (precision >= 0 && conversion != 'c') {
            spec += '.';
            spec += std::to_string(precision);
        }
        char buffer[2 * kMaxWidth + 64];
        int n = 0;
        if (text) {
            spec += 's';
            const std::string& s = value->Text();
            // A long text is appended around the padding rather than through the buffer.
            const int shown = precision >= 0 && precision < int(s.size()) ? precision : int(s.size());
            const int pad = width > shown ? width - shown : 0;
            const bool left = flags.find('-') != std::string::npos;
            if (!left) out.append(size_t(pad), ' ');
            out.append(s, 0, size_t(shown));
            if (left) out.append(size_t(pad), ' ');
        } else if (conversion == 'c') {
            spec += 'c';
            n = std::snprintf(buffer, sizeof buffer, spec.c_str(), int(value->Number()));
        } else {
            spec += "ll";
            spec += conversion == 'i' ? 'd' : conversion;
            if (conversion == 'd' || conversion == 'i')
                n = std::snprintf(buffer, sizeof buffer, spec.c_str(), value->Number());
            else
                n = std::snprintf(buffer, sizeof buffer, spec.c_str(), static_cast<unsigned long long>(value->Number()));
        }
        if (!text && n > 0) {
            for (int k = 0; k < n && k < int(sizeof buffer) - 1; ++k)
                if (buffer[k] != '\0') out.push_back(buffer[k]); // a character value 0 shows nothing
        }
        ++next;
        i = at + 1;
    }
    return out;
}
