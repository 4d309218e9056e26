#pragma once
// The event ids that travel through g_EvMan, with the numbers every sender and
// handler agrees on. Ids that are not listed are not used.
//
// p1, p2 and data of each event are described beside it; "send" and "post"
// say how the event is usually delivered.
namespace ev {

// send: a control is closing; windows that belong to it close themselves.
// p2 = the control.
constexpr int ControlClosing = 1;
// send: the main window is built (the main object then sends MenuRefresh and
// ToolBarRefresh).
constexpr int MainWindowBuilt = 2;
// send or post: status text. p1 = text colour, p2 = background colour,
// data = the text.
constexpr int StatusText = 4;
// send: open the debug text window.
constexpr int DebugTextWindow = 5;
// send: open the image debug window.
constexpr int ImageDebugWindow = 6;
// send: show the debug compare window.
constexpr int DebugCompareWindow = 7;
// send: keep a snapshot of the working image (debug).
constexpr int ImageSnapshot = 8;
// send: re-evaluate every menu item (check, hidden, disabled, caption).
constexpr int MenuRefresh = 9;
// send: delete the sub-items of the menu item whose cell has label p2.
constexpr int MenuDeleteSubItems = 10;
// send or post: rebuild the sub-items of the menu item whose cell has label
// p2 from the overlay section named by data + "_Body". p1 = the cuiMenu whose
// click handler the new items take.
constexpr int MenuRebuildSubItems = 11;
// query: the current cell of the sheet that owns the asking menu; the sheet
// answers with a copy of its current cmcCellObj. p1 = the owning component
// when a menu refreshes its items, 0 when an item is clicked.
constexpr int QueryCurrentCell = 12;
// post: repaint every cell that has a label.
constexpr int RepaintLabelled = 13;
// post: repaint the cells of one category. p2 = the category.
constexpr int RepaintCategory = 14;
// post: repaint the cells of one label. p2 = the label.
constexpr int RepaintLabel = 15;
// post: repaint the cells of one index. p2 = the index.
constexpr int RepaintIndex = 16;
// post: repaint the cells whose index is at or below p2.
constexpr int RepaintToIndex = 17;
// send: repaint the cells whose index is at or above p2.
constexpr int RepaintFromIndex = 18;
// post: the current cell of a sheet. data = a dst_CellRef.
constexpr int CurrentCell = 19;
// send: refresh the tool bar.
constexpr int ToolBarRefresh = 20;
// send: close every pop-up editor and pop-up window.
constexpr int ClosePopups = 21;
// send: a line for the debug text window. data = the text.
constexpr int DebugTextLine = 22;
// post: refresh the EEPROM debug window.
constexpr int EepromDebugRefresh = 23;
// send: move the image debug window's cursor. p2 = the image address.
constexpr int ImageDebugCursor = 24;
// send: the working data were replaced (clone read, file load, new
// document): rebuild what depends on them.
constexpr int DataReplaced = 25;

// send: insert (even id) or delete (odd id) one entry of a list. p1 = the
// bank (channels) or the group (grouped lists), 0 for lists without groups;
// p2 = the row index of the entry.
constexpr int InsertChannel = 26;
constexpr int DeleteChannel = 27;
constexpr int InsertRepeater = 28;       // kind 22
constexpr int DeleteRepeater = 29;
constexpr int InsertTone = 30;           // kind 7
constexpr int DeleteTone = 31;
constexpr int InsertDigitalNac = 32;     // kind 20
constexpr int DeleteDigitalNac = 33;
constexpr int InsertDigitalId = 34;      // kind 18
constexpr int DeleteDigitalId = 35;
constexpr int InsertDigitalTalkGroup = 36; // kind 19
constexpr int DeleteDigitalTalkGroup = 37;
constexpr int InsertZephRepeater = 38;   // kind 27
constexpr int DeleteZephRepeater = 39;
constexpr int InsertZephId = 40;         // kind 28
constexpr int DeleteZephId = 41;
constexpr int InsertZephTalkGroup = 42;  // kind 29
constexpr int DeleteZephTalkGroup = 43;
constexpr int InsertMultisiteId = 44;    // kind 32
constexpr int DeleteMultisiteId = 45;
constexpr int InsertMultisiteTalkGroup = 46; // kind 33
constexpr int DeleteMultisiteTalkGroup = 47;
constexpr int InsertMultisiteRepeater = 48;  // kind 31
constexpr int DeleteMultisiteRepeater = 49;
constexpr int InsertMultisiteSite = 50;  // kind 30
constexpr int DeleteMultisiteSite = 51;
constexpr int FirstListEvent = InsertChannel;
constexpr int LastListEvent = DeleteMultisiteSite;
constexpr bool IsListInsert(int id) { return id >= FirstListEvent && id <= LastListEvent && id % 2 == 0; }
constexpr bool IsListDelete(int id) { return id >= FirstListEvent && id <= LastListEvent && id % 2 == 1; }

// query: the current bank; the bank sheet and the list sheet answer with two
// values.
constexpr int QueryCurrentBank = 52;
// send or post: refresh the sheet titles.
constexpr int RefreshSheetTitles = 53;
// query: the group the open list sheet shows (first value of the answer).
constexpr int QueryListGroup = 54;
// send: grid rows were added. p1 = the number of rows (at least 1).
constexpr int RowsAdded = 55;
constexpr int SiteRowsAdded = 56;
// send: grid rows were removed. p1 = the number of rows (at least 1).
constexpr int RowsRemoved = 57;
constexpr int SiteRowsRemoved = 58;
// post: update the bank nodes of the tree (icons by bank type).
constexpr int UpdateBankNodes = 59;
// post: a bank's name changed. p2 = the bank, data = the name.
constexpr int BankNameChanged = 60;
// post: re-read a bank's name from the image. p2 = the bank.
constexpr int RereadBankName = 61;

} // namespace ev
