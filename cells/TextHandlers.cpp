#include "cells/TextHandlers.h"

#include "cells/CellPopups.h"
#include "cells/HandlerSupport.h"
#include "cells/LcdGlyphs.h"
#include "cells/ValueHandlers.h"
#include "core/TextFunctions.h"
#include "core/cmcCellObj.h"
#include "model/ImageBytes.h"
#include "model/datCh.h"
#include "model/indEnviron.h"
#include "model/indMain.h"
#include "platform/base/Canvas.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kMaxEscaped = 255;
constexpr int kLayoutByte = 175682;  // bit 2: the display layout flag
constexpr int kLayoutBit = 2;
constexpr int kFirstUserChar = 16;
constexpr int kUserChars = 16;
constexpr int kWideSetKind = 3;
constexpr int kNarrowSetKind = 4;
constexpr int kMinDotSize = 14;
constexpr int kPasswordBuffer = 17;

constexpr plat::Color kOlive = 0x008080;  // unused display positions
constexpr plat::Color kFrameGrey = 0x808080;

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The glyph bytes of a code and which of the two forms in them is in use.
struct GlyphSource {
    std::array<uint8_t, WideGlyphBytes> Bytes{};
    bool Wide = true;
    bool LayoutFlag = false;
};

GlyphSource LoadGlyph(int code)
{
    GlyphSource g;
    g.Wide = UsesCEditCharSet();
    g.LayoutFlag = LcdLayoutFlag();
    if (code >= 0 && code < kFirstUserChar) code = ' ';
    if (IsUserCharCode(code) && g_Main) {
        datCh record(&g_Main->CurrentImage());
        record.Unpack(g.Wide ? kWideSetKind : kNarrowSetKind, code - kFirstUserChar);
        if (g.Wide) std::memcpy(g.Bytes.data(), record.CharBitmap, WideGlyphBytes);
        else std::memcpy(g.Bytes.data(), record.CharBitmapMob, NarrowGlyphBytes);
    } else {
        const uint8_t* glyph = g.Wide ? WideGlyph(code) : NarrowGlyph(code);
        std::memcpy(g.Bytes.data(), glyph, g.Wide ? WideGlyphBytes : NarrowGlyphBytes);
    }
    return g;
}

// Where dot (column, row) of a form lives: the byte and its bit.
struct DotPlace {
    int Byte;
    int Mask;
};

DotPlace PlaceOfDot(bool wide, bool layoutFlag, int column, int row)
{
    if (wide) {
        const int offset = layoutFlag ? 0 : 21;
        const int perColumn = layoutFlag ? 3 : 4;
        return {offset + column * perColumn + row / 8, 0x80 >> (row % 8)};
    }
    const int offset = layoutFlag ? 0 : 6;
    const int perColumn = layoutFlag ? 1 : 3;
    return {offset + column * perColumn + row / 8, 1 << (row % 8)};
}

bool Dot(const GlyphSource& g, int column, int row)
{
    const DotPlace p = PlaceOfDot(g.Wide, g.LayoutFlag, column, row);
    return (g.Bytes[size_t(p.Byte)] & p.Mask) != 0;
}

}  // namespace

void WriteNibbles(const cmcPackedBcd& nibbles, uint8_t* bytes)
{
    for (int i = 0; i < nibbles.Length(); ++i) SetNibble(bytes, i, nibbles.At(i));
}

bool IsUserCharCode(int code) { return code >= 16 && code <= 31; }
bool IsEscapedCharCode(int code) { return IsUserCharCode(code) || (code >= 127 && code <= 255); }
bool IsTextChar(int code) { return code >= 32 && code <= 255; }
bool IsNibbleValue(int value) { return value >= 0 && value <= 15; }

std::string EscapeCellText(std::string_view bytes)
{
    std::string text;
    for (size_t i = 0; i < bytes.size() && i < size_t(kMaxEscaped); ++i) {
        const int c = static_cast<unsigned char>(bytes[i]);
        if (c == '%') {
            text += "%%";
        } else if (c >= 32 && c <= 126) {
            text.push_back(char(c));
        } else if (IsEscapedCharCode(c)) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            text += hex;
        } else {
            break;
        }
    }
    return text;
}

std::string UnescapeCellText(std::string_view text)
{
    text = text.substr(0, std::min(text.size(), size_t(kMaxEscaped)));
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 1 < text.size() && text[i + 1] == '%') {
            bytes.push_back('%');
            ++i;
            continue;
        }
        if (c == '%' && i + 2 < text.size()) {
            const int high = HexDigitValue(text[i + 1]), low = HexDigitValue(text[i + 2]);
            if (high >= 0 && low >= 0 && high * 16 + low > 15) {
                bytes.push_back(char(high * 16 + low));
                i += 2;
                continue;
            }
        }
        bytes.push_back(IsTextChar(static_cast<unsigned char>(c)) ? c : ' ');
    }
    return bytes;
}

bool LcdLayoutFlag()
{
    return g_Main && ImageBytes(g_Main->CurrentImage()).Bit(kLayoutByte, kLayoutBit);
}

GlyphForm CurrentGlyphForm()
{
    const bool flag = LcdLayoutFlag();
    if (UsesCEditCharSet()) return {7, flag ? 19 : 32};
    return {5, flag ? 8 : 17};
}

bool GlyphDot(int code, int column, int row)
{
    const GlyphForm form = CurrentGlyphForm();
    if (column < 0 || column >= form.Columns || row < 0 || row >= form.Rows) return false;
    return Dot(LoadGlyph(code), column, row);
}

void DrawLcdText(cmcCellCapsule* cap, std::string_view text, int length, int perLine, int lines, bool frame)
{
    if (!cap->Canvas || !cap->CellRect) return;
    plat::Canvas& canvas = *cap->Canvas;
    const plat::Rect cell = *cap->CellRect;
    const int a = std::min(perLine, length);
    if (a <= 0 || lines <= 0) return;
    const GlyphForm form = CurrentGlyphForm();
    const int C = form.Columns, R = form.Rows;
    const bool layoutFlag = LcdLayoutFlag();

    int lineHeight = layoutFlag && lines == 2 ? (cell.Height() - 4) / 2 : cell.Height() - 2;
    const int unCut = lineHeight;
    if (lineHeight >= R) lineHeight -= lineHeight % R;
    int width = (cell.Width() - 2) / a;
    if (width >= C) width -= width % C;
    // Dots stay about square, but never narrower than a pixel: in a line
    // lower than the glyph's rows (a tall glyph in a sheet row), square dots
    // would leave a character a few pixels wide and unreadable; its dots are
    // then drawn a pixel wide and less than a pixel high.
    width = std::min(width, std::max(C * lineHeight / R, C));
    const int height = std::min(lineHeight, width * R / C);
    if (width <= 0 || height <= 0) return;

    const int left = cap->Cell && cap->Cell->HorzPlacement() == 1 ? cell.left + (cell.Width() - width - 1) / 2
                                                                   : cell.left + 1;
    const int top0 = cell.top + (unCut - height) / 2 + 1;

    // The dots and frames are drawn with the brush; the caller's brush comes
    // back at the end.
    const plat::Brush callerBrush = canvas.GetBrush();
    auto fill = [&canvas](const plat::Rect& r, plat::Color color) {
        canvas.GetBrush() = plat::Brush{color, plat::bsSolid};
        canvas.FillRect(r);
    };
    auto frameRect = [&canvas](const plat::Rect& r, plat::Color color) {
        canvas.GetBrush() = plat::Brush{color, plat::bsSolid};
        canvas.FrameRect(r);
    };

    plat::Color dots = canvas.GetFont().color;
    if (cap->Printing) dots = dots == plat::clWhite ? plat::clWhite : plat::clBlack;

    const int positions = a * std::min(lines, 2);
    for (int i = 0; i < positions; ++i) {
        const int column = i % a, line = i / a;
        const int x = left + column * (width + 1);
        const int y = top0 + line * (unCut + 1);
        if (frame) frameRect({x - 1, y - 1, x + width + 1, y + height + 1}, kFrameGrey);
        if (i >= length) {
            // Display positions the text cannot use.
            if (layoutFlag) fill({x, y, x + width, y + height}, kOlive);
            continue;
        }
        const int code = i < int(text.size()) ? static_cast<unsigned char>(text[size_t(i)]) : ' ';
        const GlyphSource glyph = LoadGlyph(code);
        for (int k = 0; k < C; ++k)
            for (int r = 0; r < R; ++r)
                if (Dot(glyph, k, r))
                    fill({x + k * width / C, y + r * height / R, x + (k + 1) * width / C, y + (r + 1) * height / R},
                         dots);
    }
    canvas.GetBrush() = callerBrush;
}

int EditLcdText(cmcCellCapsule* cap, char* bytes, int n, bool zeroFill, CellExecResult& result)
{
    int changed = 0;
    if (cap->Phase == cpEditText || cap->Phase == cpPicked) {
        const std::string typed = UnescapeCellText(cap->EditText);
        for (int i = 0; i < n; ++i) bytes[i] = i < int(typed.size()) ? typed[size_t(i)] : (zeroFill ? '\0' : ' ');
        changed = 1;
    }
    std::string text(bytes, size_t(std::max(n, 0)));
    text = text.substr(0, text.find('\0'));
    if (!zeroFill)
        while (!text.empty() && text.back() == ' ') text.pop_back();
    ShowText(cap, text);
    if (cap->Canvas) {
        // The flag-clear layout shows 12 characters whatever the field holds.
        const int length = LcdLayoutFlag() ? n : std::min(n, 12);
        DrawLcdText(cap, text, length, 12, (n + 11) / 12, false);
        cap->Text.clear();
    }
    if (OnGrid(cap)) {
        const int key = cap->Key;
        cmcBuff buffer;
        bool open = false, selectAll = false;
        if (key == cellkey::Enter || key == cellkey::Backspace) {
            buffer.AssignBytes(text.data(), int(text.size()));
            open = selectAll = true;
        } else if (IsPrintableKey(key)) {
            buffer.AppendByte(uint8_t(key));
            open = true;
        }
        if (open) {
            if (indCellPopups* popups = CellPopups(); popups && popups->OpenTextEditor(*cap, buffer, selectAll, n))
                result = erPopupOpened;
        }
    }
    return changed;
}

int EditUserChar(cmcCellCapsule* cap, CellExecResult& result)
{
    const int k = cap->Cell ? cap->Cell->Index : 0;
    const bool wide = UsesCEditCharSet();
    const int kind = wide ? kWideSetKind : kNarrowSetKind;
    const GlyphForm form = CurrentGlyphForm();
    const bool layoutFlag = LcdLayoutFlag();
    int changed = 0;
    if (cap->Phase == cpPicked && g_Main && k >= 0 && k < kUserChars) {
        datCh record(&g_Main->CurrentImage());
        record.Unpack(kind, k);
        uint8_t* bytes = wide ? record.CharBitmap : record.CharBitmapMob;
        // Only the form in use is replaced.
        for (int c = 0; c < form.Columns; ++c)
            for (int r = 0; r < form.Rows; ++r) {
                const DotPlace p = PlaceOfDot(wide, layoutFlag, c, r);
                bytes[p.Byte] = uint8_t(bytes[p.Byte] & ~p.Mask);
            }
        const std::string& dots = cap->EditText;
        for (int r = 0; r < form.Rows; ++r)
            for (int c = 0; c < form.Columns; ++c) {
                const size_t at = size_t(r * form.Columns + c);
                if (at < dots.size() && dots[at] != '0') {
                    const DotPlace p = PlaceOfDot(wide, layoutFlag, c, r);
                    bytes[p.Byte] = uint8_t(bytes[p.Byte] | p.Mask);
                }
            }
        record.Pack(kind, k);
        changed = 1;
    }
    const char code = char(kFirstUserChar + std::clamp(k, 0, kUserChars - 1));
    DrawLcdText(cap, std::string_view(&code, 1), 1, 12, 1, true);
    if (OnGrid(cap) && cap->Key == cellkey::Enter) {
        const GlyphSource glyph = LoadGlyph(code);
        cmcBuff dots;
        for (int r = 0; r < form.Rows; ++r)
            for (int c = 0; c < form.Columns; ++c) dots.AppendByte(Dot(glyph, c, r) ? 1 : 0);
        const int percent = g_Environ ? g_Environ->FontSizePercentage : 100;
        const int dotSize = std::max(kMinDotSize, percent * kMinDotSize / 100);
        if (indCellPopups* popups = CellPopups();
            popups && popups->OpenCharEditor(*cap, dotSize, form.Columns, form.Rows, dots))
            result = erPopupOpened;
    }
    return changed;
}

int EditClonePasswordCell(cmcCellCapsule* cap, const uint8_t* current, int n, uint8_t* newBytes)
{
    n = std::clamp(n, 0, 16);
    // The value comes only from the dialog: an edited text or a pick is no
    // change.
    if (!OnGrid(cap) || cap->Phase != cpKeyOrRender) return 0;
    const int key = cap->Key == cellkey::Backspace ? cellkey::Enter : cap->Key;
    if (key != cellkey::Enter && !IsPrintableKey(key)) return 0;
    std::array<char, kPasswordBuffer> initial{};
    std::memcpy(initial.data(), current, size_t(n));
    std::memset(newBytes, 0, size_t(n));
    std::array<uint8_t, 16> chosen{};
    indCellPopups* popups = CellPopups();
    if (popups && popups->AskReadWritePassword(std::string(initial.data()), chosen)) {
        std::memcpy(newBytes, chosen.data(), size_t(n));
        return 1;
    }
    std::memcpy(newBytes, current, size_t(n));
    return 0;
}
