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
// LTR, ZEPH, multisite and vote-zone settings of the banks; LTR operation.
std::span<const LabelBehaviourEntry> TrunkCellBehaviours();
// The LTR group columns of channels and the repeater lists.
std::span<const LabelBehaviourEntry> RepeaterCellBehaviours();

class indCellCall;
// The entry column of a bank's channel rows: a key typed into the bank's
// empty row appends a channel (or tells that none fits). True when the call
// is on a channel of the bank and the column's own editing goes on.
bool EnterChannelRow(indCellCall& call);
