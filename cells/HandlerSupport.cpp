#include "cells/HandlerSupport.h"

#include "cells/CellPopups.h"
#include "core/TextFunctions.h"
#include "core/cmcCellObj.h"
#include "core/cmcFCache.h"
#include "core/cmcGTex.h"
#include "model/indMain.h"
#include "platform/base/Fatal.h"

#include <utility>

void ShowText(cmcCellCapsule* cap, std::string text)
{
    cap->Text = std::move(text);
    cap->SelStart = 0;
    cap->SelLength = int(cap->Text.size());
}

void PlaceHorz(cmcCellCapsule* cap, int horz)
{
    if (cap->Cell) cap->Cell->FlagsA = uint8_t((cap->Cell->FlagsA & ~cmcCellObj::HorzMask) | horz);
}

void StartEdit(cmcCellCapsule* cap, CellExecResult& result)
{
    cap->SelStart = 0;
    cap->SelLength = int(cap->Text.size());
    result = erStartEdit;
}

void StartEditWith(cmcCellCapsule* cap, std::string text, int selStart, int selLength, CellExecResult& result)
{
    cap->Text = std::move(text);
    cap->SelStart = selStart;
    cap->SelLength = selLength;
    result = erStartEdit;
}

void StartEditTyped(cmcCellCapsule* cap, int key, CellExecResult& result)
{
    StartEditWith(cap, std::string(1, char(key)), 1, 0, result);
}

bool PickedFrom(const cmcCellCapsule* cap, int label, int& index)
{
    if (!cap->Parent || !cap->Parent->Cell || cap->Phase != cpPicked) return false;
    if (cap->Parent->Cell->Label != label) return false;
    index = cap->Parent->Cell->Index;
    return true;
}

int ParentLabel(const cmcCellCapsule* cap)
{
    return cap->Parent && cap->Parent->Cell ? cap->Parent->Cell->Label : -1;
}

cmcFCache& ValueLabelCache()
{
    if (!g_Main) plat::Fatal("The cell engine runs without its main object.");
    return g_Main->ValueLabels();
}

std::string OverlayLine(const std::string& key) { return g_GTex.GetText(key, 0); }

void OpenChoiceList(cmcCellCapsule* cap, int label, int focus, const std::string& key, CellExecResult& result)
{
    if (indCellPopups* popups = CellPopups(); popups && popups->OpenChoiceList(*cap, label, focus, key))
        result = erPopupOpened;
}

void OpenPicker(cmcCellCapsule* cap, int label, int focus, const std::string& key, const std::string& code,
                CellExecResult& result)
{
    if (indCellPopups* popups = CellPopups(); popups && popups->OpenPicker(*cap, label, focus, key, code))
        result = erPopupOpened;
}

void ForEachListCell(const std::string& key, const std::function<void(int, int, const cmcCellObj&)>& fn)
{
    const std::string section = key + "_Cells";
    CellCounters counters{};
    for (int line = 0;; ++line) {
        const std::string text = g_GTex.GetText(section, line);
        if (!text.empty() && text[0] == '#') break;
        std::string rest = text;
        for (int column = 0; !rest.empty(); ++column) {
            cmcCellObj cell;
            rest = cmcCellObj::ParseCell(&cell, rest, &counters, nullptr, false);
            fn(line, column, cell);
        }
    }
}

std::string ListCellText(const cmcCellObj& cell)
{
    return cell.Argument ? *cell.Argument : cell.GetText();
}

std::string UpperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return text;
}

std::string Trimmed(std::string text)
{
    TrimBlanks(text);
    return text;
}
