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
// The extended settings and the cells of the two user character sets.
std::span<const LabelBehaviourEntry> ExtendedCellBehaviours();
// DTMF memories, decode entries and timers; the tone list.
std::span<const LabelBehaviourEntry> DtmfToneCellBehaviours();
// 2-tone and 5-tone codes, their timers, and the user tones.
std::span<const LabelBehaviourEntry> ToneCodeCellBehaviours();
// The MDC systems, their function blocks, status and message texts, the
// first alias, and the MDC system of a memory channel.
std::span<const LabelBehaviourEntry> MdcCellBehaviours();
// The MSK signalling of PMR radios: address plan, ID groups, call list,
// status and short messages, timing and configuration.
std::span<const LabelBehaviourEntry> MskCellBehaviours();
// The three channel templates of the railroad channel plan.
std::span<const LabelBehaviourEntry> RailroadCellBehaviours();
// The common settings: passwords, timers, ports, GPS, emergency, channel groups.
std::span<const LabelBehaviourEntry> CommonSettingCellBehaviours();
// The scan lists and the scan and vote settings.
std::span<const LabelBehaviourEntry> ScanCellBehaviours();
// The set mode: initial values and what the user may change.
std::span<const LabelBehaviourEntry> UserSetModeCellBehaviours();
// Further settings: second and third key banks, squelch, GPS and digital options.
std::span<const LabelBehaviourEntry> FurtherSettingCellBehaviours();
// LTR, ZEPH, multisite and vote-zone settings of the banks; LTR operation.
std::span<const LabelBehaviourEntry> TrunkCellBehaviours();
// The LTR group columns of channels and the repeater lists.
std::span<const LabelBehaviourEntry> RepeaterCellBehaviours();

class indCellCall;
// The entry column of a bank's channel rows: a key typed into the bank's
// empty row appends a channel (or tells that none fits). True when the call
// is on a channel of the bank and the column's own editing goes on.
bool EnterChannelRow(indCellCall& call);
// Multisite trunking: the site list, the system settings, the multisite ID
// and talk-group lists and the monitor patterns.
std::span<const LabelBehaviourEntry> MultisiteCellBehaviours();
