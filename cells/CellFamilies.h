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
// The common settings: passwords, timers, ports, GPS, emergency, channel groups.
std::span<const LabelBehaviourEntry> CommonSettingCellBehaviours();
// The scan lists and the scan and vote settings.
std::span<const LabelBehaviourEntry> ScanCellBehaviours();
// The set mode: initial values and what the user may change.
std::span<const LabelBehaviourEntry> UserSetModeCellBehaviours();
// Further settings: second and third key banks, squelch, GPS and digital options.
std::span<const LabelBehaviourEntry> FurtherSettingCellBehaviours();
