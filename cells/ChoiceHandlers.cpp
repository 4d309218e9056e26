// Choice lists, bounded values and the list readers they share.
#include "cells/CellPopups.h"
#include "cells/HandlerSupport.h"
#include "cells/ValueHandlers.h"
#include "core/CellNames.h"
#include "core/cmcCellObj.h"
#include "core/cmcFCache.h"

#include <cstdlib>
#include <limits>
#include <vector>

namespace {

bool StartsWithOf(std::string_view text)
{
    return text.size() >= 2 && (text[0] == 'o' || text[0] == 'O') && (text[1] == 'f' || text[1] == 'F');
}

bool HasDigit(std::string_view text)
{
    for (char c : text)
        if (c >= '0' && c <= '9') return true;
    return false;
}

// A text read as a whole number the way a person reads a list entry: leading
// blanks, a sign and digits; anything else reads as 0.
long long NumberOf(const std::string& text) { return std::strtoll(text.c_str(), nullptr, 10); }

// The digits of the text read as a number (limited so it cannot overflow).
long long DigitsValue(std::string_view text)
{
    long long value = 0;
    for (char c : text)
        if (c >= '0' && c <= '9') value = std::min(value * 10 + (c - '0'), 1000000000LL);
    return value;
}

// One step of a list from the current value, wrapping past its ends.
bool StepList(const std::string& key, int label, int current, int n, int& value)
{
    cmcFCache& cache = ValueLabelCache();
    std::string ignored;
    if (!cache.Lookup(key, label, current, ignored)) cache.GetLabel(key, label, current);
    return cache.Step(key, label, current, n, value);
}

}  // namespace

int ChooseFromListBy(cmcCellCapsule* cap, const std::string& key, int label, int& value, int focus,
                     CellExecResult& result)
{
    if (cap->Parent) {
        int picked = 0;
        if (!PickedFrom(cap, label, picked)) return 0;
        value = picked;
        return 1;
    }
    cmcFCache& cache = ValueLabelCache();
    ShowText(cap, cache.GetLabel(key, label, value));
    if (!OnGrid(cap)) return 0;
    switch (cap->Key) {
    case cellkey::Space:
    case cellkey::Backspace: {
        int next = value;
        if (!cache.Step(key, label, value, cap->Key == cellkey::Space ? 1 : -1, next)) return 0;
        value = next;
        ShowText(cap, cache.GetLabel(key, label, value));
        return 1;
    }
    case cellkey::Enter: OpenChoiceList(cap, label, focus, key, result); return 0;
    default: return 0;
    }
}

int ChooseFromList(cmcCellCapsule* cap, const std::string& key, int& value, CellExecResult& result)
{
    return ChooseFromListBy(cap, key, Flex0, value, value, result);
}

int ChooseFromListMark(cmcCellCapsule* cap, const std::string& key, int& value, CellExecResult& result)
{
    return ChooseFromListBy(cap, key, FlexMark, value, value, result);
}

int EditChoiceChar(cmcCellCapsule* cap, const std::string& key, uint8_t& value, CellExecResult& result)
{
    int v = value;
    const int changed = ChooseFromList(cap, key, v, result);
    if (changed) value = uint8_t(v);
    return changed;
}

int ChooseFromList2By(cmcCellCapsule* cap, const std::string& key, int label, int& value, int focus,
                      CellExecResult& result)
{
    if (ParentLabel(cap) == label) {
        int picked = 0;
        if (!PickedFrom(cap, label, picked)) return 0;
        value = picked;
        return 1;
    }
    // A parent that is no pick of this list is not ours to answer.
    cmcCellCapsule* parent = cap->Parent;
    cap->Parent = nullptr;
    const int changed = ChooseFromListBy(cap, key, label, value, focus, result);
    cap->Parent = parent;
    return changed;
}

int ChooseFromList2(cmcCellCapsule* cap, const std::string& key, int& value, CellExecResult& result)
{
    return ChooseFromList2By(cap, key, Flex0, value, value, result);
}

int PickFromList(cmcCellCapsule* cap, const std::string& key, int label, int& value, int focus,
                 const std::string& sheetCode, CellExecResult& result)
{
    if (cap->Parent) {
        int picked = 0;
        if (!PickedFrom(cap, label, picked)) return 0;
        value = picked;
        return 1;
    }
    if (OnGrid(cap) && cap->Key == cellkey::Enter) OpenPicker(cap, label, focus, key, sheetCode, result);
    return 0;
}

int ChooseFromCells(cmcCellCapsule* cap, const std::string& key, int label, int& value, int mode,
                    CellExecResult& result)
{
    int changed = 0;
    if (cap->Phase == cpEditText && result == erNothing) {
        std::string typed = UpperAscii(Trimmed(cap->EditText));
        struct Entry {
            int Index;
            std::string Text;
        };
        std::vector<Entry> entries;
        ForEachListCell(key, [&](int, int, const cmcCellObj& cell) {
            if (cell.Label == label) entries.push_back({cell.Index, ListCellText(cell)});
        });
        auto byName = [&]() -> const Entry* {
            for (const Entry& e : entries)
                if (UpperAscii(e.Text.substr(0, typed.size())) == typed) return &e;
            return nullptr;
        };
        auto byNumber = [&]() -> const Entry* {
            if (StartsWithOf(typed)) typed = "0";
            else if (!typed.empty() && typed[0] == 'O') return nullptr;  // "o" and another letter: no number
            if (!HasDigit(typed)) return nullptr;
            // Read as every typed number is (nine characters at most), so
            // that no typed text reaches beyond the int range.
            const long long wanted = ParseDecimal(typed);
            const Entry* best = nullptr;
            long long bestDistance = std::numeric_limits<long long>::max();
            for (const Entry& e : entries) {
                const long long distance = std::llabs(NumberOf(e.Text) - wanted);
                if (distance < bestDistance) {
                    best = &e;
                    bestDistance = distance;
                }
            }
            return best;
        };
        const Entry* match = nullptr;
        if (mode == cmNamePrefix) {
            match = byName();
        } else if (mode == cmNearestNumber) {
            match = byNumber();
        } else if (typed.size() > 1) {
            match = byName();
            if (!match) match = byNumber();
        }
        if (match) {
            value = match->Index;
            changed = 1;
        }
    }
    const int key_ = cap->Key;
    if (OnGrid(cap)) {
        const bool startsEdit = mode == cmNearestNumber ? (IsDigitKey(key_) || key_ == 'o' || key_ == 'O')
                                                        : (key_ > cellkey::Space && key_ <= cellkey::LastPrintable);
        if (startsEdit) {
            StartEditTyped(cap, key_, result);
            return changed;
        }
    }
    return ChooseFromListBy(cap, key, label, value, value, result) | changed;
}

int EditBoundedValueBy(cmcCellCapsule* cap, const std::string& selKey, const std::string& numKey, int selLabel,
                       int numLabel, int& value, bool offAllowed, CellExecResult& result)
{
    const int numberEntry = FirstIndexOfLabel(selKey, selLabel);
    const int top = LastIndexOfLabel(numKey, numLabel);
    auto isNumber = [&](int v) { return v >= numberEntry && v <= top; };

    if (cap->Phase == cpEditText) {
        std::string typed = Trimmed(cap->EditText);
        if (offAllowed && StartsWithOf(typed)) typed = "0";
        if (!HasDigit(typed)) return 0;
        long long n = DigitsValue(typed);
        if (!(offAllowed && n == 0)) n = std::clamp<long long>(n, numberEntry, top);
        value = int(n);
        return 1;
    }
    int picked = 0;
    if (PickedFrom(cap, selLabel, picked)) {
        if (picked == numberEntry) {
            OpenChoiceList(cap, numLabel, value, numKey, result);
            return 0;
        }
        value = picked;
        return 1;
    }
    if (PickedFrom(cap, numLabel, picked)) {
        value = picked;
        return 1;
    }
    if (cap->Parent) return 0;

    const bool numeric = isNumber(value);
    const int shown = numeric ? numberEntry : value;
    const int key = cap->Key;
    if (OnGrid(cap) && (key == cellkey::Space || key == cellkey::Backspace)) {
        const int n = key == cellkey::Space ? 1 : -1;
        int next = shown;
        if (!StepList(selKey, selLabel, shown, n, next)) return 0;
        if (next == numberEntry) StepList(selKey, selLabel, next, n, next);
        value = next;
        ShowText(cap, isNumber(value) ? std::to_string(value) : ValueLabelCache().GetLabel(selKey, selLabel, value));
        return 1;
    }
    if (OnGrid(cap) && (IsDigitKey(key) || key == '.' || key == 'o' || key == 'O')) {
        StartEditTyped(cap, key, result);
        return 0;
    }
    int listValue = shown;
    const int changed = ChooseFromListBy(cap, selKey, selLabel, listValue, shown, result);
    if (numeric && result != erStartEdit) ShowText(cap, std::to_string(value));
    return changed;
}

int EditBoundedValue(cmcCellCapsule* cap, const std::string& selKey, const std::string& numKey, int& value,
                     CellExecResult& result)
{
    return EditBoundedValueBy(cap, selKey, numKey, Flex0, Flex1, value, true, result);
}

int FirstIndexOfLabel(const std::string& key, int label)
{
    int found = 0;
    int lastLine = -1;
    ForEachListCell(key, [&](int line, int, const cmcCellObj& cell) {
        if (cell.Label != label || line == lastLine) return;
        lastLine = line;  // the first cell of the label on this line
        found = cell.Index;
    });
    return found;
}

int LastIndexOfLabel(const std::string& key, int label)
{
    int highest = 0;
    bool any = false;
    int doneLine = -1;
    ForEachListCell(key, [&](int line, int, const cmcCellObj& cell) {
        if (line == doneLine || cell.Label != label) return;
        if (!any || cell.Index > highest) {
            highest = cell.Index;
            any = true;
            doneLine = line;  // the rest of the line is not scanned
        }
    });
    return highest;
}
