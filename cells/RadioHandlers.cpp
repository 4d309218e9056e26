#include "cells/RadioHandlers.h"

#include "cells/CellQueries.h"
#include "cells/HandlerSupport.h"
#include "cells/TextHandlers.h"
#include "cells/ValueHandlers.h"
#include "core/CellNames.h"
#include "core/TextFunctions.h"
#include "core/cmcCellObj.h"
#include "core/cmcFCache.h"
#include "core/cmcGTex.h"
#include "model/ImageBytes.h"
#include "model/TableAccess.h"
#include "platform/base/Fatal.h"
#include "platform/ui/MessageBox.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <vector>

int g_PickerBank = 0;

namespace {

constexpr const char* kToneList = "GI_Sheet_Sel_Mch_CTone";
constexpr const char* kToneNames = "GI_AppItem_Ctcss";
constexpr int kKeyOptions = 175684;    // bits 5, 6, 7: options 11, 12, 13
constexpr int kSpeakerOption = 302529; // bit 4
constexpr int kSpeakerBit = 4;
constexpr int kControlScanKey = 5;     // the function shown by its own overlay text
constexpr int kChannelRecords = 130944;
constexpr int kChannelRecordSize = 30;
constexpr int kNoChannel = WorkTables::Channels;
constexpr int kNoBank = WorkTables::Banks;

std::string FrequencyText(int hz)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d.%06d", hz / 1000000, hz % 1000000);
    return text;
}

bool SameTone(const ToneSpec& a, const ToneSpec& b)
{
    return a.On == b.On && a.Digital == b.Digital && a.Inverted == b.Inverted && a.AnalogIndex == b.AnalogIndex &&
           a.DigitalCode == b.DigitalCode;
}

std::string DtcsText(const ToneSpec& t)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d%d%d%c", (t.DigitalCode >> 6) & 7, (t.DigitalCode >> 3) & 7, t.DigitalCode & 7,
                  t.Inverted ? 'i' : 'N');
    return text;
}

int ToneListValue(const ToneSpec& t) { return !t.On ? ToneListOff : t.Digital ? ToneListDtcs : t.AnalogIndex; }

// The position of a bank among those a zone list offers (0 when it is not
// there).
template <typename Nth>
int ZoneIndexOf(int bank, Nth nth)
{
    for (int n = 0; n < WorkTables::Banks; ++n) {
        const int b = nth(n);
        if (b >= kNoBank) break;
        if (b == bank) return n;
    }
    return 0;
}

int BankOfChannel(int n) { return BankOfChannelNumber(n + 1); }

int PositionInPickerBank(int channel)
{
    const int position = channel - BankFirstChannel(g_PickerBank);
    return position >= 0 && position < BankChannelCount(g_PickerBank) ? position : 0;
}

// The next channel in a direction (wrapping once over the used channels)
// whose bank the predicate accepts; -1 when there is none.
template <typename Pred>
int NextChannel(int channel, int direction, Pred accept)
{
    const int total = UsedChannelCount();
    if (total <= 0) return -1;
    int c = channel >= 0 && channel < total ? channel : (direction > 0 ? -1 : total);
    for (int k = 0; k < total; ++k) {
        c = ((c + direction) % total + total) % total;
        if (accept(BankOfChannel(c))) return c;
    }
    return -1;
}

}  // namespace

// ---- Frequencies ----

int FitFrequencyToGrid(int f, bool coarse)
{
    if (f < 0) return -1;
    int64_t precision = 1;
    for (int64_t p = 10; p <= 100000; p *= 10)
        if (f % p == 0) precision = p;
    const int64_t step = coarse ? 1250 : 625;
    const int64_t a = coarse ? 5000 : 2500;
    const int64_t b = coarse ? 6250 : 3125;
    for (int64_t g = int64_t(f) - f % 100000; g <= int64_t(f) + precision - 1; g += step)
        if (g >= f && (g % a == 0 || g % b == 0)) return int(g);
    return -1;
}

bool IsPlan156Frequency(int f) { return f >= 156025000 && f <= 157425000 && (f - 156025000) % 25000 == 0; }

int EditFrequencyStep(cmcCellCapsule* cap, datCh& record, bool rxCell, int offset, CellExecResult& result)
{
    int value = rxCell ? record.RxFreq : record.TxFreq;
    const bool same = record.RxFreq == record.TxFreq;
    int changed = 0;
    if (cap->Phase == cpEditText) {
        std::string typed = StripToDigitsAnd(cap->EditText, ".");
        if (typed.size() > 9) typed.resize(9);
        if (!typed.empty()) {
            const double hz = std::clamp(std::strtod(typed.c_str(), nullptr) * 1000000.0 + 0.5, 0.0, 799999999.5);
            const int fitted = FitFrequencyToGrid(int(hz));
            if (fitted > 0) {
                value = fitted;
                changed = 1;
            }
        }
    }
    value = std::clamp(value, 0, MaxStoredFrequency);

    if (changed) {
        if (rxCell) {
            record.RxFreq = value;
            if (same) record.TxFreq = value;
            if (value == 0) record.ChFlagsA.Inh = 1;
            if (!record.State.InUse) {
                int tx = value;
                if (offset != 0) {
                    const int64_t shifted = int64_t(value) + offset - (value < 470000000 ? 0 : 2000000);
                    const int fitted = shifted < 0 || shifted > MaxStoredFrequency ? -1 : FitFrequencyToGrid(int(shifted));
                    tx = fitted < 0 ? 0 : std::clamp(fitted, 0, MaxStoredFrequency);
                }
                record.TxFreq = tx;
                record.State.InUse = value != 0;
            }
        } else {
            record.TxFreq = value;
        }
    }

    PlaceHorz(cap, cellplace::Right);
    ShowText(cap, FrequencyText(value));
    if (OnGrid(cap)) {
        int key = cap->Key;
        if (key == cellkey::Space || key == cellkey::Backspace) key = cellkey::Enter;
        if (key == '.') {
            const size_t point = cap->Text.find('.');
            StartEditWith(cap, cap->Text, int(point) + 1, 0, result);
        } else if (key == '=' && !rxCell) {
            StartEditWith(cap, FrequencyText(record.RxFreq), 0, int(FrequencyText(record.RxFreq).size()), result);
        } else if (IsDigitKey(key)) {
            StartEditTyped(cap, key, result);
        } else if (key == cellkey::Enter) {
            if (record.RxFreq == 0) StartEditWith(cap, "", 0, 0, result);
            else StartEdit(cap, result);
        }
    }
    if (result != erStartEdit) {
        if (record.RxFreq == 0) {
            ShowText(cap, "");
        } else if (!rxCell && record.TxFreq == record.RxFreq) {
            ShowText(cap, "<-");
            PlaceHorz(cap, cellplace::Centre);
        }
    }
    return changed;
}

int EditFrequency(cmcCellCapsule* cap, datCh& record, bool rxCell, CellExecResult& result)
{
    return EditFrequencyStep(cap, record, rxCell, 0, result);
}

// ---- Tones ----

int FindToneIndex(const std::string& key, std::string_view text, int& first)
{
    const std::string wanted = UpperAscii(Trimmed(std::string(text)));
    int count = 0;
    int position = 0;
    first = 0;
    for (int line = 0;; ++line) {
        const std::string names = g_GTex.GetText(key, line);
        if (!names.empty() && names[0] == '#') break;
        for (int field = 0;; ++field) {
            std::optional<std::string> name = ExtractField(names, ',', field);
            if (!name) break;
            // A comma that ends the line opens no further name.
            if (name->empty() && !ExtractField(names, ',', field + 1)) break;
            const std::string upper = UpperAscii(Trimmed(*name));
            if (upper.size() >= wanted.size() && upper.compare(0, wanted.size(), wanted) == 0) {
                if (count == 0) first = position;
                ++count;
            }
            ++position;
        }
    }
    return count;
}

int EditToneCode(cmcCellCapsule* cap, ToneSpec& rxTone, ToneSpec& txTone, bool rxCell, CellExecResult& result)
{
    ToneSpec& t = rxCell ? rxTone : txTone;
    const bool txFollows = rxCell && SameTone(rxTone, txTone);
    int changed = 0;
    bool analogChanged = false;
    bool editorOpened = false;

    if (OnGrid(cap) && t.On && t.Digital && (cap->Key == cellkey::Space || cap->Key == cellkey::Backspace)) {
        t.Inverted = !t.Inverted;
        cap->Key = 0;  // consumed
        changed = 1;
    }
    int picked = 0;
    if (PickedFrom(cap, FlexDtcs, picked) && cap->OnEdit) {
        // The DTCS entry of the list: the code is typed in the cell's editor.
        ShowText(cap, DtcsText(t));
        cap->CallOnEdit(0);
        editorOpened = true;
    } else {
        int value = ToneListValue(t);
        if (ChooseFromList(cap, kToneList, value, result)) {
            t.Digital = 0;
            t.AnalogIndex = uint16_t(value);
            analogChanged = true;
            changed = 1;
        }
    }
    if (t.On && t.Digital) ShowText(cap, DtcsText(t));

    if (!changed && result == erNothing && !editorOpened) {
        if (cap->Phase == cpEditText) {
            const std::string typed = UpperAscii(Trimmed(cap->EditText));
            auto octal = [](char c) { return c >= '0' && c <= '7'; };
            if ((typed.size() == 3 || typed.size() == 4) && octal(typed[0]) && octal(typed[1]) && octal(typed[2]) &&
                (typed.size() == 3 || typed[3] == 'I' || typed[3] == 'N')) {
                t.On = 1;
                t.Digital = 1;
                t.Inverted = typed.size() == 4 && typed[3] == 'I';
                t.DigitalCode = uint16_t((typed[0] - '0') * 64 + (typed[1] - '0') * 8 + (typed[2] - '0'));
                changed = 1;
            } else {
                int first = 0;
                const int matches = FindToneIndex(kToneNames, typed, first);
                if (matches == 1 || (matches > 1 && typed.size() > 1)) {
                    t.Digital = 0;
                    t.AnalogIndex = uint16_t(first);
                    analogChanged = true;
                    changed = 1;
                }
            }
        }
        if (OnGrid(cap) && IsPrintableKey(cap->Key)) StartEditTyped(cap, cap->Key, result);
    }
    if (analogChanged) {
        t.On = t.AnalogIndex != ToneListOff;
        if (t.AnalogIndex == ToneListOff) t.AnalogIndex = 0;
    }
    if (changed && txFollows) txTone = rxTone;

    if (changed && result != erStartEdit && !editorOpened)
        ShowText(cap, t.On && t.Digital ? DtcsText(t) : ValueLabelCache().GetLabel(kToneList, Flex0, ToneListValue(t)));
    PlaceHorz(cap, cellplace::Right);
    if (!rxCell && result != erStartEdit && !editorOpened && t.On && SameTone(rxTone, txTone)) {
        ShowText(cap, "<-");
        PlaceHorz(cap, cellplace::Centre);
    }
    return changed;
}

int EditChannelTone(cmcCellCapsule* cap, datCh& record, bool rxCell, CellExecResult& result)
{
    return EditToneCode(cap, record.RxTone, record.TxTone, rxCell, result);
}

// ---- Digit strings ----

int EditDtmfDigits(cmcCellCapsule* cap, uint8_t* bytes, int& count, int maximum, CellExecResult& result)
{
    int changed = 0;
    if (cap->Phase == cpEditText) {
        cmcPackedBcd nibbles;
        for (char c : cap->EditText) {
            if (nibbles.Length() >= maximum) break;
            const int v = c == '*' ? 14 : c == '#' ? 15 : (IsHexDigitKey(c) ? (IsDigitKey(c) ? c - '0' : (c | 0x20) - 'a' + 10) : -1);
            if (v >= 0) nibbles.AppendNibble(v);
        }
        for (int i = 0; i < maximum; ++i) SetNibble(bytes, i, 0);
        WriteNibbles(nibbles, bytes);
        count = nibbles.Length();
        changed = 1;
    }
    const int shown = std::clamp(count, 0, maximum);
    std::string text;
    for (int i = 0; i < shown; ++i) text.push_back("0123456789ABCD*#"[GetNibble(bytes, i)]);
    ShowText(cap, text);
    if (OnGrid(cap)) {
        const int key = cap->Key;
        if (key == cellkey::Enter || key == cellkey::Space || key == cellkey::Backspace) StartEdit(cap, result);
        else if (IsHexDigitKey(key) || key == '*' || key == '#') StartEditTyped(cap, key, result);
    }
    return changed;
}

int EditToneDigits(cmcCellCapsule* cap, datCh& record, int maximum, bool decoderCode, CellExecResult& result)
{
    constexpr int kNibbles = 8;
    uint8_t* code = decoderCode ? record.RxCode : record.TxCode;
    // Only the decoder code marks digits as '+'.
    uint8_t noPlus = 0;
    uint8_t& plus = decoderCode ? record.RxCodePlusMask : noPlus;
    const int repeat = int(record.CodeSetting & 0xF);
    maximum = std::clamp(maximum, 0, kNibbles - 1);
    int changed = 0;
    if (cap->Phase == cpEditText) {
        const std::string allowed = decoderCode ? "abcdegABCDEG*+" : "abcdegABCDEG*";
        const std::string typed = StripToDigitsAnd(cap->EditText, allowed);
        if (!typed.empty()) {
            std::fill(code, code + 4, uint8_t(0));
            plus = 0;
            int i = 0;
            for (; i < int(typed.size()) && i < maximum; ++i) {
                const char c = typed[size_t(i)];
                int v;
                if (IsDigitKey(c)) v = c - '0';
                else if (c == '*' || c == 'g' || c == 'G') v = repeat;
                else if (c == '+') {
                    v = 0;
                    plus = uint8_t(plus | (0x80 >> i));
                } else v = (c | 0x20) - 'a' + 10;
                SetNibble(code, i, v);
            }
            for (; i <= maximum; ++i) SetNibble(code, i, 15);
            changed = 1;
        }
    }
    int count = 0;
    while (count < kNibbles && GetNibble(code, count) != 15) ++count;
    std::string text;
    for (int i = 0; i < count; ++i) {
        const int v = GetNibble(code, i);
        if (plus & (0x80 >> i)) text.push_back('+');
        else if (v == repeat) text.push_back('*');
        else text.push_back("0123456789ABCDE*"[v]);
    }
    ShowText(cap, text);
    if (OnGrid(cap)) {
        const int key = cap->Key;
        if (key == cellkey::Enter || key == cellkey::Space || key == cellkey::Backspace) StartEdit(cap, result);
        else if (IsHexDigitKey(key) || key == '*' || key == 'G' || key == 'g' || key == '#' || key == '+')
            StartEditTyped(cap, key, result);
    }
    return changed;
}

// ---- Key functions ----

int KeyOptionIndex(int function)
{
    switch (function) {
    case '0':
    case '3':
    case 'i': return 11;
    case '1':
    case '4': return 12;
    case '2':
    case '5': return 13;
    case '6':
    case '9': return 21;
    case '7':
    case ':': return 22;
    case '8':
    case ';': return 23;
    default: return 0;
    }
}

int GetKeyOption(const cmcEeprom& image, int option)
{
    if (option < 11 || option > 13) return 0;
    return ImageBytes(image).Bit(kKeyOptions, option - 11 + 5);
}

bool SetKeyOption(cmcEeprom& image, int option, int bit)
{
    if (option >= 11 && option <= 13) ImageBytes(&image).SetBit(kKeyOptions, option - 11 + 5, bit != 0);
    return true;
}

int GetSpeakerOption(const cmcEeprom& image) { return ImageBytes(image).Bit(kSpeakerOption, kSpeakerBit); }

void SetSpeakerOption(cmcEeprom& image, int bit) { ImageBytes(&image).SetBit(kSpeakerOption, kSpeakerBit, bit != 0); }

namespace {

bool IsAssignedExcept(const cmcEeprom& image, int function, const std::vector<int>& ignored)
{
    const ImageBytes bytes(image);
    for (int table : {KeyTableConv, KeyTableB2, KeyTableB3})
        for (int p = 0; p < 16; ++p)
            if (bytes.U8(table + p) == function &&
                std::find(ignored.begin(), ignored.end(), table + p) == ignored.end())
                return true;
    return false;
}

bool ConflictsExcept(const cmcEeprom& image, int function, const std::vector<int>& ignored)
{
    static constexpr char kExclusive[] = {'0', '3', 'a', 'b', 'i'};
    if (std::find(std::begin(kExclusive), std::end(kExclusive), function) == std::end(kExclusive)) return false;
    for (char other : kExclusive)
        if (other != function && IsAssignedExcept(image, other, ignored)) return true;
    return false;
}

}  // namespace

bool IsKeyFunctionAssigned(const cmcEeprom& image, int function, std::initializer_list<int> ignored)
{
    return IsAssignedExcept(image, function, std::vector<int>(ignored));
}

bool KeyFunctionConflicts(const cmcEeprom& image, int function, std::initializer_list<int> ignored)
{
    return ConflictsExcept(image, function, std::vector<int>(ignored));
}

namespace {

// The High/Low option of the functions with option index 11 to 13 is kept;
// that of 21 to 23 is not, so its list is not offered.
bool HasStoredKeyOption(int option) { return option >= 11 && option <= 13; }

// Space (n 1) or Backspace (n -1): the next function of the list that does
// not conflict with an exclusive function on another key; false when there
// is none other than the current one.
bool StepKeyFunction(cmcEeprom& image, const std::string& listKey, int current, int n, const std::vector<int>& ignored,
                     int& next)
{
    cmcFCache& cache = ValueLabelCache();
    cache.GetLabel(listKey, Flex0, current);  // reads the list when it is not read yet
    int candidate = current;
    int first = -1;
    for (;;) {
        if (!cache.Step(listKey, Flex0, candidate, n, candidate)) return false;
        if (candidate == current || candidate == first) return false;  // once round the list
        if (first < 0) first = candidate;
        if (!ConflictsExcept(image, candidate, ignored)) {
            next = candidate;
            return true;
        }
    }
}

}  // namespace

int EditKeyFunction(cmcCellCapsule* cap, cmcEeprom& image, uint8_t& function, CellChangeScope& scope,
                    const std::string& listKey, CellExecResult& result, std::initializer_list<int> overwritten)
{
    // The positions this edit replaces do not count as assigned elsewhere.
    std::vector<int> ignored(overwritten);
    const uint8_t* data = image.Data();
    if (data && &function >= data && &function < data + image.Size()) ignored.push_back(int(&function - data));

    int picked = 0;
    if (PickedFrom(cap, Flex0, picked)) {
        if (ConflictsExcept(image, picked, ignored)) {
            plat::MessageBox(g_GTex.GetMultiLineText("GI_AppMess_KeyConflict"), OverlayLine("GI_Sys_AppTitle"),
                             plat::MB_OK | plat::MB_ICONERROR);
            return 0;
        }
        function = uint8_t(picked);
        const int option = KeyOptionIndex(function);
        if (HasStoredKeyOption(option))
            OpenChoiceList(cap, FlexKeyOpt, GetKeyOption(image, option), "GI_Sheet_Sel_KDisp_KeyOpt_HL", result);
        else if (function == 'b')
            OpenChoiceList(cap, FlexKeyOpt, GetSpeakerOption(image), "GI_Sheet_Sel_KDisp_KeyESpkr2", result);
        return 1;
    }
    if (PickedFrom(cap, FlexKeyOpt, picked)) {
        const int option = KeyOptionIndex(function);
        if (option > 0) SetKeyOption(image, option, picked);
        else if (function == 'b') SetSpeakerOption(image, picked);
        else return 0;
        scope |= csEveryLabelled;
        return 1;
    }
    if (cap->Parent) return 0;
    int changed = 0;
    const int key = cap->Key;
    if (OnGrid(cap) && (key == cellkey::Space || key == cellkey::Backspace)) {
        // Stepping skips the functions that a pick would refuse.
        int next = function;
        if (StepKeyFunction(image, listKey, function, key == cellkey::Space ? 1 : -1, ignored, next)) {
            function = uint8_t(next);
            changed = 1;
        }
        cap->Key = 0;
        EditChoiceChar(cap, listKey, function, result);
        cap->Key = key;
    } else {
        changed = EditChoiceChar(cap, listKey, function, result);
    }
    if (result == erStartEdit) return changed;
    if (function == kControlScanKey) {
        ShowText(cap, OverlayLine("GI_Sheet_Sel_KDisp_Scan_B_Key"));
    } else if (const int option = KeyOptionIndex(function); option > 0) {
        ShowText(cap, cap->Text + (GetKeyOption(image, option) ? " /H" : " /L"));
    } else if (function == 'b') {
        ShowText(cap, cap->Text + (GetSpeakerOption(image) ? " -On/Off" : " -Int/Ext"));
    }
    return changed;
}

int EditDialKey(cmcCellCapsule* cap, cmcEeprom& image, uint8_t& function, CellChangeScope& scope,
                CellExecResult& result, std::initializer_list<int> overwritten)
{
    return EditKeyFunction(cap, image, function, scope,
                           IsPmrModel() ? "GI_Sheet_Sel_Dials_Conv_KovrPmr" : "GI_Sheet_Sel_Dials_Conv", result,
                           overwritten);
}

int EditConvKey(cmcCellCapsule* cap, cmcEeprom& image, uint8_t& function, CellChangeScope& scope,
                CellExecResult& result, std::initializer_list<int> overwritten)
{
    return EditKeyFunction(cap, image, function, scope,
                           IsPmrModel() ? "GI_Sheet_Sel_Keys_Conv_Pmr" : "GI_Sheet_Sel_Keys_Conv_Lmr", result,
                           overwritten);
}

int EditConvKeyB2(cmcCellCapsule* cap, cmcEeprom& image, uint8_t& function, CellChangeScope& scope,
                  CellExecResult& result, std::initializer_list<int> overwritten)
{
    return EditKeyFunction(cap, image, function, scope,
                           IsPmrModel() ? "GI_Sheet_Sel_Keys_Conv_PmrB2" : "GI_Sheet_Sel_Keys_Conv_LmrB2", result,
                           overwritten);
}

int EditExtEmerKey(cmcCellCapsule* cap, cmcEeprom& image, uint8_t& function, CellChangeScope& scope,
                   CellExecResult& result, std::initializer_list<int> overwritten)
{
    return EditKeyFunction(cap, image, function, scope,
                           IsPmrModel() ? "GI_Sheet_Sel_Keys_Conv_Pmr_Ext_Emer" : "GI_Sheet_Sel_Keys_Conv_Lmr_Ext_Emer",
                           result, overwritten);
}

// ---- Decoder codes ----

int EditAuxCode(cmcCellCapsule* cap, int& code, int& action, CellChangeScope& scope, const std::string& listKey,
                CellExecResult& result)
{
    int picked = 0;
    if (PickedFrom(cap, Flex0, picked)) {
        code = picked;
        if (code != 0) OpenChoiceList(cap, FlexRxCodeAUX, action, "GI_Sheet_Sel_RxC_Aux_Act", result);
        return 1;
    }
    if (PickedFrom(cap, FlexRxCodeAUX, picked)) {
        action = picked;
        scope |= csEveryLabelled;
        return 1;
    }
    if (cap->Parent) return 0;
    const int changed = ChooseFromList(cap, listKey, code, result);
    if (code > 0 && result != erStartEdit)
        ShowText(cap, cap->Text + (action >= 2 ? " /Momentary" : action == 1 ? " /ON" : " /OFF"));
    return changed;
}

int EditAbcCode(cmcCellCapsule* cap, int& code, CellExecResult& result)
{
    static const std::string kSelection = "GI_Sheet_Sel_RxC_AbcSel";
    static const std::string kNumbers = "GI_Sheet_Sel_RxC_AbcCode";
    constexpr int kNumberEntry = 1, kTop = 32;
    const bool numeric = code >= kNumberEntry && code <= kTop;

    if (cap->Phase == cpEditText) {
        std::string typed = Trimmed(cap->EditText);
        if (typed.size() >= 2 && (typed[0] | 0x20) == 'o' && (typed[1] | 0x20) == 'f') typed = "0";
        const std::string digits = StripToDigitsAnd(typed, "");
        if (digits.empty()) return 0;
        code = int(std::min<long long>(std::strtoll(digits.substr(0, 9).c_str(), nullptr, 10), kTop));
        return 1;
    }
    int picked = 0;
    if (PickedFrom(cap, Flex0, picked)) {
        if (picked == kNumberEntry) {
            OpenChoiceList(cap, Flex1, code, kNumbers, result);
            return 0;
        }
        code = picked;
        return 1;
    }
    if (PickedFrom(cap, Flex1, picked)) {
        code = picked;
        return 1;
    }
    if (cap->Parent) return 0;

    const int shown = numeric ? kNumberEntry : code;
    const int key = cap->Key;
    if (OnGrid(cap) && (key == cellkey::Space || key == cellkey::Backspace)) {
        cmcFCache& cache = ValueLabelCache();
        cache.GetLabel(kSelection, Flex0, shown);
        const int n = key == cellkey::Space ? 1 : -1;
        int next = shown;
        if (!cache.Step(kSelection, Flex0, shown, n, next)) return 0;
        if (next == kNumberEntry) cache.Step(kSelection, Flex0, next, n, next);
        code = next;
        ShowText(cap, code >= kNumberEntry && code <= kTop ? std::to_string(code) : cache.GetLabel(kSelection, Flex0, code));
        return 1;
    }
    if (OnGrid(cap) && (IsDigitKey(key) || key == '.' || key == 'o' || key == 'O')) {
        StartEditTyped(cap, key, result);
        return 0;
    }
    int value = shown;
    const int changed = ChooseFromList(cap, kSelection, value, result);
    if (numeric && result != erStartEdit) ShowText(cap, std::to_string(code));
    return changed;
}

// ---- Channel pickers ----

std::string FormatPickerChannel(int n)
{
    const int bank = BankOfChannel(n);
    char text[32];
    std::snprintf(text, sizeof text, "%d-%d", bank + 1, n - BankFirstChannel(bank) + 1);
    return text + OverlayLine("GI_AddCH");
}

int EditScanChannel(cmcCellCapsule* cap, datCh& scan, int& mode, int which, CellExecResult& result)
{
    static const char* const kModeLists[] = {"GI_Sheet_Sel_ScanPrio1CH", "GI_Sheet_Sel_ScanPrio2CH",
                                             "GI_Sheet_Sel_ScanTXCH"};
    constexpr int kChannelMode = 5;
    which = std::clamp(which, 0, 2);
    uint32_t& channel = which == 0 ? scan.Prio1Ch : which == 1 ? scan.Prio2Ch : scan.ScanTxCh;
    auto openZones = [&] {
        const int focus = ZoneIndexOf(BankOfChannel(int(channel)), NthNonVoteBank);
        OpenPicker(cap, FlexZoneSel, focus, "GI_Sheet_Sel_ScanZoneSel", "B", result);
    };
    int picked = 0;
    if (PickedFrom(cap, FlexZoneSel, picked)) {
        const int bank = NthNonVoteBank(picked);
        if (!IsBankIndex(bank) || BankChannelCount(bank) == 0 || IsVoteZoneBank(bank)) {
            openZones();
            return 0;
        }
        g_PickerBank = bank;
        OpenPicker(cap, FlexCHSel, PositionInPickerBank(int(channel)), "GI_Sheet_Sel_ScanCHSel", "C", result);
        return 0;
    }
    if (PickedFrom(cap, FlexCHSel, picked)) {
        channel = uint32_t(BankFirstChannel(g_PickerBank) + picked);
        return 1;
    }
    const int changed = ChooseFromListMark(cap, kModeLists[which], mode, result);
    if (changed) {
        if (which == 1) scan.ScanTxFlags.Flag24 = mode != 0;
        if (cap->Phase == cpPicked && mode == kChannelMode && NonVoteBankCount() != 0) openZones();
    }
    if (!cap->Parent && mode == kChannelMode && result != erStartEdit) ShowText(cap, FormatPickerChannel(int(channel)));
    return changed;
}

int EditChGroupChannel(cmcCellCapsule* cap, int& channel, CellExecResult& result)
{
    auto nth = [](int n) { return NthBankOfGroup(n, 0); };
    auto openZones = [&] {
        OpenPicker(cap, FlexZoneSel_ChGrp_Chfunc, ZoneIndexOf(BankOfChannel(channel), nth), "GI_Sheet_Sel_ChGrpChfuncSel",
                   "B", result);
    };
    int picked = 0;
    if (PickedFrom(cap, FlexZoneSel_ChGrp_Chfunc, picked)) {
        const int bank = nth(picked);
        if (bank > kNoBank - 1) {
            channel = kNoChannel;
            return 1;
        }
        if (BankChannelCount(bank) > 0) {
            g_PickerBank = bank;
            OpenPicker(cap, FlexCHSel, PositionInPickerBank(channel), "GI_Sheet_Sel_ScanCHSel", "C", result);
        } else {
            openZones();
        }
        return 0;
    }
    if (PickedFrom(cap, FlexCHSel, picked)) {
        channel = BankFirstChannel(g_PickerBank) + picked;
        return 1;
    }
    if (cap->Parent) return 0;
    int changed = 0;
    const int key = cap->Key;
    if (OnGrid(cap) && (key == cellkey::Space || key == cellkey::Backspace)) {
        const int next = NextChannel(channel, key == cellkey::Space ? 1 : -1,
                                     [](int b) { return !IsSmarTrunkBank(b) && !IsVoteZoneBank(b); });
        if (next >= 0) {
            channel = next;
            changed = 1;
        }
    } else if (OnGrid(cap) && key != 0) {
        openZones();
    }
    ShowText(cap, channel >= kNoChannel ? "Null" : FormatPickerChannel(channel));
    return changed;
}

int EditGpsZoneChannel(cmcCellCapsule* cap, int& channel, int& mode, CellExecResult& result)
{
    auto openZones = [&] {
        OpenPicker(cap, FlexZoneSel_GPS_Zonefunc, ZoneIndexOf(BankOfChannel(channel), NthNonEmptyBank),
                   "GI_Sheet_Sel_GPSZoneSel", "B", result);
    };
    int picked = 0;
    if (PickedFrom(cap, FlexZoneSel_GPS_Zonefunc, picked)) {
        const int bank = NthNonEmptyBank(picked);
        if (!IsBankIndex(bank)) {
            mode = 0;
            return 1;
        }
        g_PickerBank = bank;
        OpenPicker(cap, FlexZoneSel_GPS_Num, PositionInPickerBank(channel), "GI_Sheet_Sel_ScanCHSel", "C", result);
        return 0;
    }
    if (PickedFrom(cap, FlexZoneSel_GPS_Num, picked)) {
        channel = BankFirstChannel(g_PickerBank) + picked;
        mode = 1;
        return 1;
    }
    if (cap->Parent) return 0;
    int changed = 0;
    const int key = cap->Key;
    if (OnGrid(cap) && (key == cellkey::Space || key == cellkey::Backspace)) {
        if (channel > WorkTables::Channels - 1) {
            channel = 0;
            mode = 1;
        } else {
            mode = mode ? 0 : 1;
        }
        changed = 1;
    } else if (OnGrid(cap) && key != 0) {
        openZones();
    }
    ShowText(cap, mode == 0 ? "Displayed" : FormatPickerChannel(channel));
    return changed;
}

int EditChGroupZone(cmcCellCapsule* cap, int& zone, CellExecResult& result)
{
    auto nth = [](int n) { return NthBankOfGroup(n, 1); };
    auto openZones = [&] {
        OpenPicker(cap, FlexZoneSel_ChGrp_Zonefunc, ZoneIndexOf(zone, nth), "GI_Sheet_Sel_ChGrpZonefuncSel", "B", result);
    };
    int picked = 0;
    if (PickedFrom(cap, FlexZoneSel_ChGrp_Zonefunc, picked)) {
        const int bank = nth(picked);
        if (IsBankIndex(bank) && BankChannelCount(bank) > 0) {
            zone = bank;
            return 1;
        }
        openZones();
        return 0;
    }
    if (cap->Parent) return 0;
    int changed = 0;
    const int key = cap->Key;
    if (OnGrid(cap) && (key == cellkey::Space || key == cellkey::Backspace)) {
        const int direction = key == cellkey::Space ? 1 : -1;
        int b = IsBankIndex(zone) ? zone : (direction > 0 ? -1 : WorkTables::Banks);
        for (int k = 0; k < WorkTables::Banks; ++k) {
            b = ((b + direction) % WorkTables::Banks + WorkTables::Banks) % WorkTables::Banks;
            if (BankChannelCount(b) > 0 && (IsVoteZoneBank(b) || IsSmarTrunkBank(b))) {
                zone = b;
                changed = 1;
                break;
            }
        }
    } else if (OnGrid(cap) && key != 0) {
        openZones();
    }
    ShowText(cap, IsBankIndex(zone) ? "Zone " + std::to_string(zone + 1) : std::string("Null"));
    return changed;
}

bool DivertTargetKept(int bank)
{
    return !IsPmrModel() && bank != WorkTables::Banks - 1;
}

int EditZoneChannel(cmcCellCapsule* cap, cmcEeprom& image, datCh& record, int& divertMode, int bank,
                    CellExecResult& result)
{
    // A PMR radio's memory keeps the mode but no target channel, and the
    // last bank of an LMR radio keeps no target either: there the list
    // offers no divert to a channel.
    const bool keepsTarget = DivertTargetKept(bank);
    const std::string modes = keepsTarget ? "GI_Sheet_Sel_Mch_EDivert" : "GI_Sheet_Sel_Mch_EDivert2";
    auto openZones = [&] {
        OpenChoiceList(cap, FlexZoneSel, ZoneIndexOf(BankOfChannel(record.EDivertTarget), NthUsedBank),
                       "GI_Sheet_Sel_ZoneSel", result);
    };
    int picked = 0;
    if (PickedFrom(cap, FlexZoneSel, picked)) {
        const int zone = NthUsedBank(picked);
        if (!IsBankIndex(zone)) return 0;
        g_PickerBank = zone;
        OpenChoiceList(cap, FlexCHSel, PositionInPickerBank(record.EDivertTarget), "GI_Sheet_Sel_CHSel", result);
        return 0;
    }
    if (PickedFrom(cap, FlexCHSel, picked)) {
        const int target = BankFirstChannel(g_PickerBank) + picked;
        if (ImageBytes(image).U32(kChannelRecords + int64_t(kChannelRecordSize) * target) == 0) {
            const int zone = BankOfChannel(target);
            char text[200];
            std::snprintf(text, sizeof text,
                          "Zone %d Channel %d is an Empty Channel.\nCannot select an Empty Channel for Emergency "
                          "Divert Direct.",
                          zone + 1, target - BankFirstChannel(zone) + 1);
            plat::MessageBox(text, plat::ProgramFileName(), plat::MB_OK | plat::MB_ICONERROR);
            record.EDivertTarget = 0;
            divertMode = 0;
            return 1;
        }
        record.EDivertTarget = target;
        return 1;
    }
    const int changed = ChooseFromListMark(cap, modes, divertMode, result);
    if (changed && cap->Phase == cpPicked) {
        if (divertMode == kDivertToChannel) {
            if (UsedBankCount() != 0) openZones();
        } else {
            record.EDivertTarget = 0;
        }
    }
    if (!cap->Parent && divertMode == kDivertToChannel && result != erStartEdit) {
        if (!keepsTarget) {
            // A divert to a channel read in where no target is kept is named
            // as the full list names it, without the ellipsis of its picker.
            std::string name = ValueLabelCache().GetLabel("GI_Sheet_Sel_Mch_EDivert", FlexMark, kDivertToChannel);
            while (!name.empty() && name.back() == '.') name.pop_back();
            ShowText(cap, name);
        } else {
            ShowText(cap, FormatPickerChannel(record.EDivertTarget));
        }
    }
    return changed;
}
