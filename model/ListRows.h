#pragma once
// List-row operations: copy, paste, carry up and down, clear, delete and
// insert of the rows of the radio's lists (channels, ID and talk-group lists,
// repeater lists, multisite sites and repeaters), and the renumbering that
// keeps every table that refers to an item by its index pointing at the same
// item when items move.
//
// The commands act on the working tables of the record's image, which is the
// main object's current working image. Deletion and insertion of one row are
// requested with one list event per row, sent at once through g_EvMan; the
// main object's handler answers each with RenumberAfterDelete(InGroup) or
// RenumberAfterInsert(InGroup) and then adjusts the list's count, so a row is
// gone or in place before the next event.
#include "core/cmcCellCapsule.h"

#include <functional>
#include <string>

class cmcEeprom;
class datCh;

// The pop-up commands of the row operations (labels of their menu items).
namespace rowcmd {
constexpr int Copy = 112;
constexpr int Paste = 113;
constexpr int CarryUp = 114;
constexpr int CarryDown = 115;
constexpr int Clear = 116;
constexpr int Delete = 117;
constexpr int Insert = 118;
} // namespace rowcmd

// What the row commands need from the rest of the program. The main object
// fills these in; an unset member does what a test of the tables alone wants.
struct RowOpsHooks {
    // An OK/Cancel question with the overlay text of the key (all its
    // lines); true for OK. Unset: OK without asking.
    std::function<bool(const std::string& key)> ConfirmOkCancel;
    // True when n more items of the cell category still fit into the clone
    // memory for the bank or group. Unset: they fit.
    std::function<bool(int category, int n, int group)> ItemsFit;
    // Packs the working tables into the clone memory of the working image,
    // so that the next memory check sees the new size. Unset: nothing.
    std::function<void()> Pack;
};

// The hooks of the program; ScopedRowOpsHooks replaces them for its lifetime
// (tests, and the main object's own lifetime).
RowOpsHooks& CurrentRowOpsHooks();
class ScopedRowOpsHooks {
public:
    explicit ScopedRowOpsHooks(RowOpsHooks hooks);
    ~ScopedRowOpsHooks();
    ScopedRowOpsHooks(const ScopedRowOpsHooks&) = delete;
    ScopedRowOpsHooks& operator=(const ScopedRowOpsHooks&) = delete;

private:
    RowOpsHooks m_previous;
};

// 1 only while RowDelete sends channel delete events (the sheet does no
// multi-selection bookkeeping meanwhile).
extern int g_RowDeleteRunning;

// The list events of a list kind and the full length its renumbering is
// given (kinds 1 and 2 share the channel events).
struct ListEvents {
    int kind;
    int insertEvent;
    int deleteEvent;
    int length;
};
// Null when the kind has no list events.
const ListEvents* ListEventsOfKind(int kind);
// The entry of an insert or delete event (26 to 51; kind 1 for the channel
// events); null for any other id.
const ListEvents* ListEventsOfEvent(int id);

// Runs pop-up command capsule->Command on the rows of the record's kind:
// 112 RowCopy, 113 RowPaste, 114 CarryRows up, 115 CarryRows down,
// 116 RowClear, 117 RowDelete, 118 RowInsert; any other command does
// nothing. first and last are the rows the command may touch (the bank's
// channels, the used part of a counted list, the group of a grouped list);
// group is the bank or group the rows belong to. The record is reloaded and
// returned.
//
// The rows of a command: RangeFirst .. RangeLast when bit 0 of
// capsule->RangeFlags is set, else the record's index alone; the start row
// is the lower of the record's index and the first of those rows.
datCh& RunRowCommand(cmcCellCapsule* capsule, datCh& record, int first, int last, int group);

// Copies the rows, cut to first..last, into g_ClipCh.
void RowCopy(cmcCellCapsule* capsule, datCh& record, int first, int last);
// Pastes g_ClipCh from the record's index on, keeping every target's links;
// asks before it overwrites rows in use.
void RowPaste(cmcCellCapsule* capsule, datCh& record, int first, int last);
// Moves the rows one place up (direction -1) or down (+1) within
// first..last, past their neighbour row, renumbering the references.
void CarryRows(cmcCellCapsule* capsule, datCh& record, int first, int last, int direction);
// Resets the rows, cut to first..last, to their defaults after a
// confirmation, releasing the emergency divert references and repeater marks
// that named them. Nothing when the current row lies outside first..last.
void RowClear(cmcCellCapsule* capsule, datCh& record, int first, int last);
// Deletes the rows, cut to first..last, after a confirmation: one delete
// event per row. Nothing when the current row lies outside first..last.
void RowDelete(cmcCellCapsule* capsule, datCh& record, int first, int last, int group);
// Inserts as many empty rows as are selected (cut to first..last + 1, the
// row past the list included) at the start row while the list has room and
// the clone memory takes them: one insert event per row. Nothing when the
// current row lies outside first..last + 1.
void RowInsert(cmcCellCapsule* capsule, datCh& record, int first, int last, int group);

// Copies the items first..last of the initial image into the image, keeping
// each target's links, and posts a repaint of each index. Nothing without an
// initial image.
void ResetRowsToDefault(cmcEeprom& image, int kind, int first, int last);

// The item at index of the source image replaces the item at the same index
// of the image, which keeps its own attribute field. Adds 0x08 to the scope
// (when given).
void CopyItemFromImage(cmcEeprom& image, cmcEeprom& source, int kind, int index, CellChangeScope* scope);

// The renumbering works on the image given, which must be the main object's
// current working image: the item codec reads the bank and group counts from
// that one, and the sites (kind 30) are moved there.
//
// Renumbering after the item at index of a list of the given full length was
// deleted: references to it are cleared (switching off what used them, with a
// message where the user must know), references above it step down; the
// items after it move down one place (kind 31: to the end of its site), and
// the freed last place takes the initial image's item. groupPlusOne is the
// group + 1 of a grouped list, 0 for none: items that move into a place
// outside that group lose their group marks. Adds 0x20 to the scope.
void RenumberAfterDeleteInGroup(cmcEeprom& image, cmcEeprom& initial, int length, int kind, int index, int groupPlusOne,
                                CellChangeScope* scope = nullptr);
// Renumbering after an empty item was opened at index: references at or
// above it step up; the items from index on move up one place (the last one
// of the list, or of the site for kind 31, falls off) and index takes the
// initial image's item. For kind 31 the site's count must already include
// the new item. Adds 0x20 to the scope.
void RenumberAfterInsertInGroup(cmcEeprom& image, cmcEeprom& initial, int length, int kind, int index, int groupPlusOne,
                                CellChangeScope* scope = nullptr);
// The same without a group (channels).
void RenumberAfterDelete(cmcEeprom& image, cmcEeprom& initial, int length, int kind, int index,
                         CellChangeScope* scope = nullptr);
void RenumberAfterInsert(cmcEeprom& image, cmcEeprom& initial, int length, int kind, int index,
                         CellChangeScope* scope = nullptr);
