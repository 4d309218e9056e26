#pragma once
// The label tables of the cell families (LabelFamilies.cpp joins them).
#include "cells/LabelDispatch.h"

#include <span>

// Memory channel columns of the bank channel sheets.
std::span<const LabelBehaviourEntry> ChannelCellBehaviours();
// Bank rows of the bank operation sheets and the bank usage cells.
std::span<const LabelBehaviourEntry> BankCellBehaviours();
// Items of the cells' pop-up menus.
std::span<const LabelBehaviourEntry> PopupItemCellBehaviours();
// Entries of choice lists and pickers, and their row numbers.
std::span<const LabelBehaviourEntry> SelectorCellBehaviours();
// The checks of the warning check list.
std::span<const LabelBehaviourEntry> CheckCellBehaviours();
// The clone information sheet: what the radio told at its last identification.
std::span<const LabelBehaviourEntry> CloneInfoCellBehaviours();
// The commands of the main menu, the tool bar and the tree.
std::span<const LabelBehaviourEntry> CommandCellBehaviours();
// The image debug window: addresses and bytes of the working image.
std::span<const LabelBehaviourEntry> DebugCellBehaviours();
// The factory adjustments of the clone memory header and the maker word.
std::span<const LabelBehaviourEntry> MakerCellBehaviours();
// The digital lists (IDs, talk groups, NAC channels, status and short data
// messages, encryption keys), their settings and the strapped column.
std::span<const LabelBehaviourEntry> DigitalListCellBehaviours();
// The key and display page: key functions of both key sets and their options.
std::span<const LabelBehaviourEntry> KeyCellBehaviours();
// The radio-wide digital options.
std::span<const LabelBehaviourEntry> DigitalOptionCellBehaviours();
// Multisite trunking: the site list, the system settings, the multisite ID
// and talk-group lists and the monitor patterns.
std::span<const LabelBehaviourEntry> MultisiteCellBehaviours();
