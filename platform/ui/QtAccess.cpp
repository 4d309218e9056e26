#include "platform/ui/QtAccess.h"

#include "platform/ui/Control.h"

#include <QKeyEvent>

namespace plat {

namespace {
struct KeyPair {
    int qt;
    int vk;
};
// Keys whose virtual-key code differs from their Qt code.
constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},      {Qt::Key_Backtab, 9},  {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},    {Qt::Key_Escape, 27},  {Qt::Key_Space, 32},   {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},     {Qt::Key_Home, 36},    {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},       {Qt::Key_Right, 39},   {Qt::Key_Down, 40},    {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},
};
} // namespace

int VirtualKeyOf(int qtKey)
{
    for (const KeyPair& k : kKeys)
        if (k.qt == qtKey) return k.vk;
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return qtKey; // '0'..'9'
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return qtKey; // 'A'..'Z'
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return 112 + (qtKey - Qt::Key_F1);
    return 0;
}

int QtKeyOf(int virtualKey)
{
    for (const KeyPair& k : kKeys)
        if (k.vk == virtualKey) return k.qt;
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z')) return virtualKey;
    if (virtualKey >= 112 && virtualKey <= 123) return Qt::Key_F1 + (virtualKey - 112);
    return 0;
}

ShiftState ShiftOf(Qt::KeyboardModifiers modifiers)
{
    unsigned bits = 0;
    if (modifiers & Qt::ShiftModifier) bits |= ssShift;
    if (modifiers & Qt::ControlModifier) bits |= ssCtrl;
    if (modifiers & Qt::AltModifier) bits |= ssAlt;
    return ShiftState(bits);
}

Qt::KeyboardModifiers ModifiersOf(ShiftState shift)
{
    Qt::KeyboardModifiers modifiers;
    if (shift.Has(ssShift)) modifiers |= Qt::ShiftModifier;
    if (shift.Has(ssCtrl)) modifiers |= Qt::ControlModifier;
    if (shift.Has(ssAlt)) modifiers |= Qt::AltModifier;
    return modifiers;
}

char32_t CharacterOf(const QKeyEvent& event)
{
    const int key = event.key();
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    // Alt strokes belong to the menus: they type nothing.
    if (modifiers & Qt::AltModifier) return 0;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete: return 0; // focus moves and deletions, no characters
    default: break;
    }
    // Ctrl strokes type nothing but the control codes of the letters.
    if (modifiers & Qt::ControlModifier)
        return key >= Qt::Key_A && key <= Qt::Key_Z ? static_cast<char32_t>(key - Qt::Key_A + 1) : 0;
    const QList<uint> text = event.text().toUcs4();
    if (text.isEmpty()) return 0;
    const char32_t ch = text.front();
    return ch < 32 || ch == 127 ? 0 : ch;
}

Qt::CursorShape ToQCursorShape(int cursor)
{
    switch (cursor) {
    case crHSplit: return Qt::SplitHCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crHourGlass: return Qt::WaitCursor;
    default: return Qt::ArrowCursor;
    }
}

} // namespace plat
