// Numbers, durations, hexadecimal digits, bit fields, flag letters and
// plain texts, with the shared operations and model queries.
#include "cells/CellPopups.h"
#include "cells/HandlerSupport.h"
#include "cells/ValueHandlers.h"
#include "core/CellNames.h"
#include "core/EventIds.h"
#include "core/cmcEvMan.h"
#include "core/cmcGTex.h"
#include "model/ImageBytes.h"
#include "model/TableAccess.h"
#include "model/datCh.h"
#include "model/indEnviron.h"
#include "model/indMain.h"
#include "platform/ui/MessageBox.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kBankNames = 177448;  // 12 bytes per bank
constexpr int kBankNameLength = 12;
constexpr int kMaxTypedNumber = 9;  // characters of a typed number that count

int64_t Pow10(int n)
{
    int64_t p = 1;
    for (int i = 0; i < n; ++i) p *= 10;
    return p;
}

// The nearest multiple of the step, halves away from zero.
int64_t NearestMultiple(int64_t n, int64_t step)
{
    const int64_t magnitude = (2 * (n < 0 ? -n : n) + step) / (2 * step) * step;
    return n < 0 ? -magnitude : magnitude;
}

// Removes up to `trim` characters from the end while the last is '0' or
// '.'; removing the '.' ends it.
std::string TrimZeros(std::string text, int trim)
{
    for (int i = 0; i < trim && !text.empty(); ++i) {
        const char last = text.back();
        if (last != '0' && last != '.') break;
        text.pop_back();
        if (last == '.') break;
    }
    return text;
}

bool BeginsWithOf(std::string_view typed)
{
    // The letters o and f among the digits and letters o/f of the text.
    std::string letters;
    for (char c : typed)
        if ((c >= '0' && c <= '9') || c == 'o' || c == 'O' || c == 'f' || c == 'F') letters.push_back(c);
    return letters.size() >= 2 && (letters[0] == 'o' || letters[0] == 'O') && (letters[1] == 'f' || letters[1] == 'F');
}

int HexValue(int c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Steps within min..max, wrapping past the ends.
int WrapStep(int value, int n, int min, int max)
{
    int64_t v = int64_t(value) + n;
    if (v > max) v = min;
    if (v < min) v = max;
    return int(v);
}

}  // namespace

// ---- Numbers ----

int EditNumber(cmcCellCapsule* cap, int& value, int width, int min, int max, bool noZeros, CellExecResult& result)
{
    auto text = [&] {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, noZeros ? "%*d" : "%0*d", noZeros ? 0 : std::clamp(width, 0, 32), value);
        return std::string(buffer);
    };
    if (min > max) {
        // An inverted range takes no input: the value is shown, not stepped.
        ShowText(cap, text());
        return 0;
    }
    int changed = 0;
    if (cap->Phase == cpEditText && StripToDigitsAnd(cap->EditText, "") != "") {
        const int n = ParseDecimal(cap->EditText);
        if (n >= min && n <= max) {
            value = n;
            changed = 1;
        }
    }
    ShowText(cap, text());
    if (!OnGrid(cap)) return changed;
    const int key = cap->Key;
    if (key == cellkey::Space || key == cellkey::Backspace) {
        value = WrapStep(value, key == cellkey::Space ? 1 : -1, min, max);
        ShowText(cap, text());
        return 1;
    }
    if (key == cellkey::Enter) StartEditWith(cap, Trimmed(cap->Text), 0, int(Trimmed(cap->Text).size()), result);
    else if (IsDigitKey(key) || (key == '-' && min < 0)) StartEditTyped(cap, key, result);
    return changed;
}

int EditIntValue(cmcCellCapsule* cap, int& value, int min, int max, int offset, int step, const char* fixedText,
                 bool clamp, bool stopAtEnds, CellExecResult& result)
{
    if (step < 1) step = 1;
    auto text = [&] { return fixedText ? std::string(fixedText) : std::to_string(int64_t(value) + offset); };
    if (min > max) {
        // The range taken from other settings is inverted: nothing can be
        // entered, and nothing is stored.
        ShowText(cap, text());
        return 0;
    }
    int changed = 0;
    if (cap->Phase == cpEditText) {
        const std::string typed = cap->EditText;
        if (StripToDigitsAnd(typed, ".") != "") {
            int64_t n = int64_t(ParseDecimal(typed)) - offset;
            if (step != 1) n = NearestMultiple(n, step);
            value = int(std::clamp<int64_t>(n, min, max));
            changed = 1;
        }
    }
    // A stored value outside the range is corrected; only input makes the
    // correction a change (drawing writes nothing).
    if (clamp && ClampToRange(min, max, value) && HasInput(cap)) changed = 1;
    ShowText(cap, text());
    if (OnGrid(cap)) {
        const int key = cap->Key;
        if (key == cellkey::Space || key == cellkey::Backspace) {
            int64_t v = int64_t(value) + (key == cellkey::Space ? step : -step);
            if (v < min) v = stopAtEnds ? min : max;
            if (v > max) v = stopAtEnds ? max : min;
            v = v / step * step;
            value = int(v);
            ShowText(cap, text());
            changed = 1;
        } else if (key == cellkey::Enter) {
            StartEdit(cap, result);
        } else if (IsDigitKey(key) || (key == '-' && min < 0)) {
            StartEditTyped(cap, key, result);
        }
    }
    if (clamp && ClampToRange(min, max, value) && HasInput(cap)) changed = 1;
    return changed;
}

int EditIntWrap(cmcCellCapsule* cap, int& value, int min, int max, CellExecResult& result)
{
    return EditIntValue(cap, value, min, max, 0, 1, nullptr, false, false, result);
}

int EditIntClamp(cmcCellCapsule* cap, int& value, int min, int max, CellExecResult& result)
{
    return EditIntValue(cap, value, min, max, 0, 1, nullptr, false, true, result);
}

int EditByteValue(cmcCellCapsule* cap, uint8_t& value, int min, int max, CellExecResult& result)
{
    return EditByteValueEx(cap, value, min, max, 0, 1, nullptr, false, result);
}

int EditByteValueEx(cmcCellCapsule* cap, uint8_t& value, int min, int max, int offset, int step,
                    const char* fixedText, bool clamp, CellExecResult& result)
{
    int v = value;
    const int changed = EditIntValue(cap, v, min, max, offset, step, fixedText, clamp, false, result);
    if (changed) value = uint8_t(v);
    return changed;
}

int EditDecimal(cmcCellCapsule* cap, int& value, int storedDecimals, int shownDecimals, double low, double high,
                int step, bool stepsAllowed, int trim, bool blankOnEnter, CellExecResult& result)
{
    const int s = std::clamp(storedDecimals, 0, 9);
    const int d = std::clamp(shownDecimals, 1, 9);
    if (step < 1) step = 1;
    const double scale = double(Pow10(s));
    const int64_t lo = std::llround(low * scale);
    const int64_t hi = std::llround(high * scale);
    auto text = [&] {
        const int64_t magnitude = std::llabs(int64_t(value));
        const int64_t whole = magnitude / Pow10(s);
        const int64_t remainder = magnitude % Pow10(s);
        const int64_t fraction = d >= s ? remainder * Pow10(d - s) : remainder / Pow10(s - d);
        // A negative value keeps its sign, also when its whole part is 0.
        std::string wholeText = std::to_string(whole);
        if (value < 0) wholeText.insert(wholeText.begin(), '-');
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%3s.%0*lld", wholeText.c_str(), d, static_cast<long long>(fraction));
        return TrimZeros(buffer, trim);
    };
    if (lo > hi) {
        ShowText(cap, text());
        return 0;
    }
    int changed = 0;
    if (cap->Phase == cpEditText) {
        std::string typed = StripToDigitsAnd(cap->EditText, ".-");
        if (typed.size() > size_t(kMaxTypedNumber)) typed.resize(kMaxTypedNumber);
        if (!typed.empty()) {
            double x = std::strtod(typed.c_str(), nullptr) * scale;
            x = std::clamp(x, -1073741824.0 - 2, 1073741824.0 - 2);
            int64_t n = std::llround(x);
            n = n / step * step;
            value = int(std::clamp(n, lo, hi));
            changed = 1;
        }
    }
    ShowText(cap, text());
    if (!OnGrid(cap)) return changed;
    const int key = cap->Key;
    if (key == '.') {
        const size_t point = cap->Text.find('.');
        StartEditWith(cap, cap->Text, point == std::string::npos ? int(cap->Text.size()) : int(point) + 1, 0, result);
    } else if (stepsAllowed && (key == cellkey::Space || key == cellkey::Backspace)) {
        int64_t v = int64_t(value) + (key == cellkey::Space ? step : -step);
        if (v < lo) v = hi;
        if (v > hi) v = lo;
        value = int(v);
        ShowText(cap, text());
        changed = 1;
    } else if (key == cellkey::Enter || (!stepsAllowed && key == cellkey::Space)) {
        if (blankOnEnter) StartEditWith(cap, "", 0, 0, result);
        else StartEdit(cap, result);
    } else if (IsDigitKey(key) || key == '-') {
        StartEditTyped(cap, key, result);
    }
    return changed;
}

int EditScaledValue(cmcCellCapsule* cap, int& value, int storedDecimals, int shownDecimals, double low,
                    double high, int step, bool stepsAllowed, bool blankOnEnter, CellExecResult& result)
{
    return EditDecimal(cap, value, storedDecimals, shownDecimals, low, high, step, stepsAllowed, 0, blankOnEnter,
                       result);
}

// ---- Durations ----

int EditTime(cmcCellCapsule* cap, int& value, int unitsPerSecond, int min, int max, int offMode, int trim,
             CellExecResult& result)
{
    const int u = std::max(unitsPerSecond, 1);
    auto text = [&] {
        if (cap->Key == 0 && offMode == TimerOffShown && value == 0) return OverlayLine("GI_AppInd_TimerOff");
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%3d.%03d", value / u, int(int64_t(value) * 1000 / u % 1000));
        return TrimZeros(buffer, trim);
    };
    if (min > max) {
        ShowText(cap, text());
        return 0;
    }
    int changed = 0;
    if (cap->Phase == cpEditText) {
        if (BeginsWithOf(cap->EditText)) {
            value = 0;
            changed = 1;
        } else {
            std::string typed = StripToDigitsAnd(cap->EditText, ".");
            if (typed.size() > size_t(kMaxTypedNumber)) typed.resize(kMaxTypedNumber);
            if (!typed.empty()) {
                const double units = (std::strtod(typed.c_str(), nullptr) + 0.0005) * u;
                value = int(std::clamp(units, double(min), double(max)));
                changed = 1;
            }
        }
    }
    ShowText(cap, text());
    if (!OnGrid(cap)) return changed;
    const int key = cap->Key;
    if (key == cellkey::Space || key == cellkey::Backspace) {
        value = WrapStep(value, key == cellkey::Space ? 1 : -1, min, max);
        ShowText(cap, text());
        changed = 1;
    } else if (key == cellkey::Enter) {
        StartEdit(cap, result);
    } else if (IsDigitKey(key) || key == '.' || key == 'o' || key == 'O') {
        StartEditTyped(cap, key, result);
    }
    return changed;
}

int EditTimeByte(cmcCellCapsule* cap, uint8_t& value, int unitsPerSecond, int offMode, CellExecResult& result)
{
    return EditTimeByteEx(cap, value, unitsPerSecond, 0, 255, offMode, result);
}

int EditTimeByteEx(cmcCellCapsule* cap, uint8_t& value, int unitsPerSecond, int min, int max, int offMode,
                   CellExecResult& result)
{
    int v = value;
    const int changed = EditTime(cap, v, unitsPerSecond, min, max, offMode, 0, result);
    if (changed) value = uint8_t(v);
    return changed;
}

int EditMinSec(cmcCellCapsule* cap, int& value, int minSeconds, int maxSeconds, int secondsPerStep, int offMode,
               CellExecResult& result)
{
    const int c = std::clamp(secondsPerStep, 1, 60);
    const int perMinute = 60 / c;
    const int lo = minSeconds / c, hi = maxSeconds / c;
    auto text = [&] {
        if (cap->Key == 0 && offMode == TimerOffShown && value == 0) return OverlayLine("GI_AppInd_TimerOff");
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%2d:%02d", value / perMinute, c * (value % perMinute));
        return std::string(buffer);
    };
    if (lo > hi) {
        ShowText(cap, text());
        return 0;
    }
    int changed = 0;
    if (cap->Phase == cpEditText) {
        const std::string typed = StripToDigitsAnd(cap->EditText, ":");
        if (!typed.empty() && typed.size() <= 6) {  // "mmm:ss"
            const size_t colon = typed.find(':');
            const std::string minutesText = typed.substr(0, colon);
            const std::string secondsText = colon == std::string::npos ? "" : typed.substr(colon + 1);
            const long minutes = std::strtol(minutesText.c_str(), nullptr, 10);
            const long seconds = std::strtol(secondsText.c_str(), nullptr, 10);
            long v = seconds / c + minutes * perMinute;
            if (2 * (seconds % c) >= c) ++v;
            value = int(std::clamp<long>(v, lo, hi));
            changed = 1;
        }
    }
    ShowText(cap, text());
    if (!OnGrid(cap)) return changed;
    const int key = cap->Key;
    if (key == cellkey::Space || key == cellkey::Backspace) {
        value = WrapStep(value, key == cellkey::Space ? 1 : -1, lo, hi);
        ShowText(cap, text());
        changed = 1;
    } else if (key == cellkey::Enter) {
        StartEdit(cap, result);
    } else if (IsDigitKey(key) || key == ':') {
        StartEditTyped(cap, key, result);
    }
    return changed;
}

// ---- Hexadecimal ----

int EditHexNumber(cmcCellCapsule* cap, int& value, int min, int max, int digits, CellExecResult& result)
{
    const int width = std::clamp(digits, 1, 8);
    auto text = [&] {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%0*X", width, unsigned(value));
        return std::string(buffer);
    };
    if (min > max) {
        ShowText(cap, text());
        return 0;
    }
    int changed = 0;
    if (cap->Phase == cpEditText) {
        std::string typed = Trimmed(cap->EditText);
        if (typed.size() > size_t(width + 1)) typed.resize(size_t(width + 1));
        if (!typed.empty() && std::all_of(typed.begin(), typed.end(), [](char ch) { return HexValue(ch) >= 0; })) {
            const long long n = std::strtoll(typed.c_str(), nullptr, 16);
            value = int(std::clamp<long long>(n, min, max));
            changed = 1;
        }
    }
    ShowText(cap, text());
    if (!OnGrid(cap)) return changed;
    // Hexadecimal values are typed, never stepped: Space and Backspace edit.
    const int key = cap->Key;
    if (key == cellkey::Enter || key == cellkey::Space || key == cellkey::Backspace) StartEdit(cap, result);
    else if (IsHexDigitKey(key)) StartEditTyped(cap, key, result);
    return changed;
}

int EditHexDigit(cmcCellCapsule* cap, int& value, bool fAllowed, CellExecResult& result)
{
    const int highest = fAllowed ? 15 : 14;
    int changed = 0;
    if (cap->Phase == cpEditText) {
        const int digit = cap->EditText.empty() ? -1 : HexValue(static_cast<unsigned char>(cap->EditText[0]));
        if (digit >= 0 && digit <= highest) value = digit;
        changed = 1;
    }
    cap->Text = value >= 0 && value <= 15 ? std::string(1, "0123456789ABCDEF"[value]) : std::string();
    cap->SelStart = 0;
    cap->SelLength = 1;
    if (!OnGrid(cap)) return changed;
    const int key = cap->Key;
    if (key == cellkey::Enter || key == cellkey::Space || key == cellkey::Backspace) StartEdit(cap, result);
    else if (IsHexDigitKey(key) && HexValue(key) <= highest) StartEditTyped(cap, key, result);
    return changed;
}

namespace {

// n hexadecimal digits typed into the editor: kept digits (and letters when
// allowed), padded with '0' on the left and cut to n.
std::string TypedDigits(const std::string& typed, int n, bool lettersAllowed)
{
    std::string kept;
    for (char c : typed) {
        const int v = HexValue(static_cast<unsigned char>(c));
        if (v >= 0 && (v < 10 || lettersAllowed)) kept.push_back(c);
    }
    if (int(kept.size()) < n) kept.insert(0, size_t(n) - kept.size(), '0');
    kept.resize(size_t(n));
    return kept;
}

void HexDigitKeys(cmcCellCapsule* cap, bool lettersAllowed, CellExecResult& result)
{
    if (!OnGrid(cap)) return;
    const int key = cap->Key;
    if (key == cellkey::Enter || key == cellkey::Space || key == cellkey::Backspace) StartEdit(cap, result);
    else if (IsDigitKey(key) || (lettersAllowed && IsHexDigitKey(key))) StartEditTyped(cap, key, result);
}

}  // namespace

int EditHexDigits(cmcCellCapsule* cap, int& value, int n, bool lettersAllowed, CellExecResult& result)
{
    n = std::clamp(n, 1, 8);
    int changed = 0;
    if (cap->Phase == cpEditText) {
        uint32_t v = 0;
        for (char c : TypedDigits(cap->EditText, n, lettersAllowed)) v = v * 16 + uint32_t(HexValue(static_cast<unsigned char>(c)));
        value = int(v);
        changed = 1;
    }
    std::string text;
    for (int i = n - 1; i >= 0; --i) text.push_back("0123456789ABCDEF"[(uint32_t(value) >> (4 * i)) & 0xF]);
    ShowText(cap, text);
    // The key test takes letters whatever the digits may hold.
    HexDigitKeys(cap, true, result);
    return changed;
}

int EditDigitString(cmcCellCapsule* cap, int* digits, int n, bool lettersAllowed, CellExecResult& result)
{
    int changed = 0;
    if (cap->Phase == cpEditText) {
        const std::string typed = TypedDigits(cap->EditText, n, lettersAllowed);
        for (int i = 0; i < n; ++i) digits[i] = HexValue(static_cast<unsigned char>(typed[size_t(i)]));
        changed = 1;
    }
    std::string text;
    for (int i = 0; i < n; ++i) text.push_back("0123456789ABCDEF"[digits[i] & 0xF]);
    ShowText(cap, text);
    HexDigitKeys(cap, lettersAllowed, result);
    return changed;
}

// ---- Bits, letters and texts ----

int EditBitField(cmcCellCapsule* cap, int& value, int first, int last, int style, const std::string& sheetKey,
                 CellExecResult& result)
{
    const int count = std::clamp(last - first + 1, 1, 25);
    // Items are most significant bit first; the bit editor's mask holds item
    // i at bit 25 - i.
    const int shift = count <= 8 ? 18 : 26 - count;
    auto bitOf = [count](int item) { return count <= 8 ? 7 - item : count - 1 - item; };
    const uint32_t all = count <= 8 ? (0xFFu << (8 - count)) & 0xFFu : (1u << count) - 1;
    uint32_t v = uint32_t(value) & (count <= 8 ? 0xFFu : (1u << count) - 1);
    int changed = 0;
    auto toggle = [&](int item) {
        if (item < 0 || item >= count) return;
        v ^= 1u << bitOf(item);
        changed = 1;
    };

    if (cap->Phase == cpPicked) {
        const uint32_t mask = uint32_t(std::strtoul(cap->EditText.c_str(), nullptr, 10));
        v = (mask >> shift) & (count <= 8 ? 0xFFu : (1u << count) - 1);
        changed = 1;
    }
    const int key = cap->Key;
    const bool letter = (key >= 'a' && key <= 'z') || (key >= 'A' && key <= 'Z');
    if (IsDigitKey(key) && key - '0' >= first && key - '0' <= last) {
        toggle(key - '0' - first);
    } else if (key == 'z' || key == 'Z') {
        toggle(17 - first);
    } else if (style != BitsAsLetters && key == '0') {
        toggle(10 - first);
    } else if (style == BitsAsLetters && letter) {
        const int code = 10 + ((key | 0x20) - 'a');
        if (code >= first && code <= last - 1) toggle(code - first);
    } else if (key == cellkey::Space) {
        v = (v & all) ? 0 : all;
        changed = 1;
    } else if (key == cellkey::Backspace) {
        v ^= all;
        changed = 1;
    } else if (key == cellkey::Enter) {
        if (indCellPopups* popups = CellPopups();
            popups && popups->OpenBitEditor(*cap, v << shift, first, last, style, 1, sheetKey))
            result = erPopupOpened;
    }
    v &= all;
    value = int(v);

    std::string text;
    for (int i = 0; i < count; ++i) {
        if (!((v >> bitOf(i)) & 1)) {
            text.push_back('_');
        } else if (i == 16) {
            text.push_back('Z');
        } else if (style == BitsAsLetters) {
            text.push_back(i < 10 - first ? char('0' + first + i) : char('A' + first + i - 10));
        } else {
            text.push_back(i == 9 ? '0' : char('0' + first + i));
        }
    }
    text.push_back('\n');
    cap->Text = text;
    cap->SelStart = IsHexDigitKey(key) ? int(text.size()) : 0;
    cap->SelLength = 1;
    return changed;
}

int EditUserSetBit(cmcCellCapsule* cap, uint8_t* bytes, int length, int bit, CellExecResult& result)
{
    if (bit < 0 || bit / 8 >= length) return 0;
    uint8_t& byte = bytes[bit / 8];
    const int mask = 1 << (7 - bit % 8);
    int v = (byte & mask) ? 1 : 0;
    const int changed = ChooseFromList(cap, "GI_Sheet_Sel_UserSetEnable", v, result);
    if (changed) byte = uint8_t(v ? (byte | mask) : (byte & ~mask));
    return changed;
}

int EditFlagLetters(cmcCellCapsule* cap, const std::string& key, uint8_t& flags0, uint8_t& flags1,
                    CellExecResult& result)
{
    int entry = 0;
    if (PickedFrom(cap, Flex0, entry)) {
        switch (entry) {
        case 1: flags0 |= 0x01; break;
        case 2: flags0 |= 0x02; break;
        case 3: flags0 = uint8_t((flags0 | 0x04) & ~0x08); break;
        case 4: flags0 = uint8_t((flags0 & ~0x04) | 0x08); break;
        case 5: flags0 ^= 0x10; break;
        case 6: flags0 ^= 0x20; break;
        case 7: flags1 = uint8_t((flags1 | 0x10) & ~0x20); break;
        case 8:
            if (flags1 & 0x10) flags1 = uint8_t((flags1 & ~0x10) | 0x20);
            else flags1 &= uint8_t(~0x10);
            break;
        default: return 0;
        }
        if (g_EvMan) {
            g_EvMan->Post(ev::UpdateBankNodes, 0, 0);
            g_EvMan->Post(ev::RefreshSheetTitles, 0, 0);
        }
        return 1;
    }
    if (cap->Parent) return 0;
    std::string text;
    if (flags0 & 0x01) text += 'A';
    if (flags0 & 0x02) text += 'B';
    if ((flags0 & 0x04) && !(flags0 & 0x08)) text += 'E';
    if ((flags1 & 0x10) && !(flags1 & 0x20)) text += 'H';
    ShowText(cap, text);
    if (OnGrid(cap) && cap->Key == cellkey::Enter) OpenChoiceList(cap, Flex0, 0, key, result);
    return 0;
}

namespace {

bool IsPrintableByte(unsigned char c) { return c >= 32 && c <= 126; }

// The editing keys of a fixed-length text cell.
void TextKeys(cmcCellCapsule* cap, CellExecResult& result)
{
    if (!OnGrid(cap)) return;
    const int key = cap->Key;
    if (key == cellkey::Enter || key == cellkey::Space || key == cellkey::Backspace) StartEdit(cap, result);
    else if (IsPrintableKey(key)) StartEditTyped(cap, key, result);
}

}  // namespace

int EditPlainText(cmcCellCapsule* cap, char* bytes, int length, CellExecResult& result)
{
    int changed = 0;
    if (cap->Phase == cpEditText || cap->Phase == cpPicked) {
        for (int i = 0; i < length; ++i) {
            const unsigned char c = i < int(cap->EditText.size()) ? static_cast<unsigned char>(cap->EditText[size_t(i)]) : ' ';
            bytes[i] = IsPrintableByte(c) ? char(c) : ' ';
        }
        changed = 1;
    }
    std::string text;
    for (int i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        text.push_back(IsPrintableByte(c) ? char(c) : ' ');
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    ShowText(cap, text);
    TextKeys(cap, result);
    return changed;
}

int EditPassword(cmcCellCapsule* cap, char* bytes, int length, CellExecResult& result)
{
    int changed = 0;
    if (cap->Phase == cpEditText || cap->Phase == cpPicked) {
        for (int i = 0; i < length; ++i) {
            unsigned char c = i < int(cap->EditText.size()) ? static_cast<unsigned char>(cap->EditText[size_t(i)]) : 0;
            if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
            bytes[i] = c > 32 && c <= 126 ? char(c) : '\0';
        }
        changed = 1;
    }
    std::string text;
    for (int i = 0; i < length && bytes[i] != '\0'; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        text.push_back(IsPrintableByte(c) ? char(c) : ' ');
    }
    ShowText(cap, text);
    TextKeys(cap, result);
    return changed;
}

// ---- Shared operations ----

int ClampToRange(int min, int max, int& value)
{
    if (value < min) {
        value = min;
        return 1;
    }
    if (value > max) {
        value = max;
        return 1;
    }
    return 0;
}

int ParseDecimal(std::string_view text)
{
    std::string kept = StripToDigitsAnd(text, ".-");
    if (kept.size() > size_t(kMaxTypedNumber)) kept.resize(kMaxTypedNumber);
    const double x = std::strtod(kept.c_str(), nullptr);
    return int(std::llround(std::clamp(x, -2147483648.0, 2147483647.0)));
}

std::string StripToDigitsAnd(std::string_view text, std::string_view set)
{
    std::string kept;
    for (char c : text)
        if ((c >= '0' && c <= '9') || set.find(c) != std::string_view::npos) kept.push_back(c);
    return kept;
}

void KeepDigitsAnd(std::string& text, std::string_view set) { text = StripToDigitsAnd(text, set); }

int ConfirmOkCancel(const std::string& key)
{
    return plat::MessageBox(g_GTex.GetMultiLineText(key), OverlayLine("GI_Sys_AppTitle"),
                            plat::MB_OKCANCEL | plat::MB_ICONWARNING);
}

std::string FormatBankName(const cmcEeprom& image, int bank)
{
    return std::to_string(bank + 1) + ": " + BankNameText(image, bank);
}

std::string BankNameText(const cmcEeprom& image, int bank)
{
    std::string text;
    const ImageBytes bytes(image);
    for (int i = 0; i < kBankNameLength; ++i) {
        const int c = bytes.U8(kBankNames + int64_t(kBankNameLength) * bank + i);
        if (c == 0) break;
        text.push_back(IsPrintableByte(static_cast<unsigned char>(c)) ? char(c) : '*');
    }
    return text;
}

bool IsAllBlank(const char* bytes, int n) { return std::all_of(bytes, bytes + std::max(n, 0), [](char c) { return c == ' '; }); }

void CopyBytes(char* destination, const char* source, int n) { std::copy(source, source + std::max(n, 0), destination); }

void MaskNonPrintable(char* bytes, int n)
{
    for (int i = 0; i < n; ++i)
        if (!IsPrintableByte(static_cast<unsigned char>(bytes[i]))) bytes[i] = '*';
    bytes[std::max(n, 0)] = '\0';
}

void BlankNonPrintable(char* bytes, int n)
{
    for (int i = 0; i < n; ++i)
        if (!IsPrintableByte(static_cast<unsigned char>(bytes[i]))) bytes[i] = ' ';
}

bool CellEditAllowed() { return true; }

int MchKindOfModelType(int modelType) { return modelType == 1 ? 2 : 1; }

int MchRecordKind() { return MchKindOfModelType(g_Environ ? g_Environ->ModelType : 0); }

bool IsLmrModel() { return MchRecordKind() == 1; }

bool IsPmrModel() { return MchRecordKind() == 2; }

bool UsesCEditCharSet()
{
    if (g_Main) {
        if (g_Main->CharSetPrintOverride() == 1) return true;
        if (g_Main->CharSetPrintOverride() == 2) return false;
        if (g_Main->CurrentSheetKey() == "GI_Sheet_Common_CEdit") return true;
        if (g_Main->CurrentSheetKey() == "GI_Sheet_Common_CEdit_Mob") return false;
    }
    return (g_Environ ? g_Environ->ViewType : 0) == 0;
}

int CountActiveChannelsOf(const cmcEeprom& image, int first, int last)
{
    if (first < 0 || last > WorkTables::Channels - 1 || last < first) return -1;
    datCh record(const_cast<cmcEeprom*>(&image));
    const int kind = MchRecordKind();
    int count = 0;
    for (int n = first; n <= last; ++n)
        if (record.Unpack(kind, n).State.Active) ++count;
    return count;
}

int CountActiveChannelsIn(int first, int last)
{
    return g_Main ? CountActiveChannelsOf(g_Main->CurrentImage(), first, last) : -1;
}

int CountActiveChannels() { return CountActiveChannelsIn(0, WorkTables::Channels - 1); }

int BankUsedQty(int /*bank*/) { return -1; }
