#pragma once
// The value handlers for the radio's own values: channel and repeater
// frequencies, CTCSS and DTCS tones, DTMF and tone-code digit strings, key
// function assignments with their options, the AUX and ABC codes of the
// decoders, and the pickers that choose a channel through a zone and a
// channel list. They follow the conventions of ValueHandlers.h.
#include "core/cmcCellCapsule.h"
#include "model/datCh.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

class cmcEeprom;

// ---- Frequencies (Hz; 0 is no frequency) ----

constexpr int MaxStoredFrequency = 799999950;
// Typed frequencies fit the channel grid: steps of 625 Hz, valid on
// multiples of 2500 or 3125 Hz (the coarse grid: 1250 Hz steps, multiples of
// 5000 or 6250 Hz). The first grid frequency at or above f within the
// precision of what was typed; -1 when there is none.
int FitFrequencyToGrid(int f, bool coarse = false);
// The RX (rxCell) or TX frequency of the record; a new channel's TX
// frequency follows its RX frequency plus the offset (2 MHz less from
// 470 MHz on).
int EditFrequencyStep(cmcCellCapsule* cap, datCh& record, bool rxCell, int offset, CellExecResult& result);
int EditFrequency(cmcCellCapsule* cap, datCh& record, bool rxCell, CellExecResult& result);
// 156.025 to 157.425 MHz on the 25 kHz grid.
bool IsPlan156Frequency(int f);

// ---- Tones ----

// Entries of the tone list "GI_Sheet_Sel_Mch_CTone" beyond the analog tones.
constexpr int ToneListOff = 52;
constexpr int ToneListDtcs = 53;
int EditChannelTone(cmcCellCapsule* cap, datCh& record, bool rxCell, CellExecResult& result);
int EditToneCode(cmcCellCapsule* cap, ToneSpec& rxTone, ToneSpec& txTone, bool rxCell, CellExecResult& result);
// The number of comma-separated tone names in the key's lines that begin
// with the text (either case); first: the running position of the first.
int FindToneIndex(const std::string& key, std::string_view text, int& first);

// ---- Digit strings ----

// DTMF digits packed two to a byte, high nibble first.
int EditDtmfDigits(cmcCellCapsule* cap, uint8_t* bytes, int& count, int maximum, CellExecResult& result);
// The decoder (RxCode) or encoder (TxCode) code of a tone-code record.
int EditToneDigits(cmcCellCapsule* cap, datCh& record, int maximum, bool decoderCode, CellExecResult& result);

// ---- Key functions ----

// The three key tables that hold the assigned function codes (16 keys each).
constexpr int KeyTableConv = 175718;
constexpr int KeyTableB2 = 302478;
constexpr int KeyTableB3 = 302494;
// The function byte may lie in the image; `overwritten` names further image
// offsets that this edit replaces (mirrored keys). Neither counts as
// "assigned elsewhere" when the new function is checked for a conflict.
int EditKeyFunction(cmcCellCapsule* cap, cmcEeprom& image, uint8_t& function, CellChangeScope& scope,
                    const std::string& listKey, CellExecResult& result, std::initializer_list<int> overwritten = {});
int EditDialKey(cmcCellCapsule* cap, cmcEeprom& image, uint8_t& function, CellChangeScope& scope,
                CellExecResult& result, std::initializer_list<int> overwritten = {});
int EditConvKey(cmcCellCapsule* cap, cmcEeprom& image, uint8_t& function, CellChangeScope& scope,
                CellExecResult& result, std::initializer_list<int> overwritten = {});
int EditConvKeyB2(cmcCellCapsule* cap, cmcEeprom& image, uint8_t& function, CellChangeScope& scope,
                  CellExecResult& result, std::initializer_list<int> overwritten = {});
int EditExtEmerKey(cmcCellCapsule* cap, cmcEeprom& image, uint8_t& function, CellChangeScope& scope,
                   CellExecResult& result, std::initializer_list<int> overwritten = {});
// The High/Low option of a function: 11 for '0', '3', 'i'; 12 for '1', '4';
// 13 for '2', '5'; 21, 22 and 23 for '6'/'9', '7'/':', '8'/';' (which keep
// no option); 0 for the rest.
int KeyOptionIndex(int function);
int GetKeyOption(const cmcEeprom& image, int option);
bool SetKeyOption(cmcEeprom& image, int option, int bit);
// The speaker option of function 'b'.
int GetSpeakerOption(const cmcEeprom& image);
void SetSpeakerOption(cmcEeprom& image, int bit);
// Whether a key table holds the function (positions listed are left out).
bool IsKeyFunctionAssigned(const cmcEeprom& image, int function, std::initializer_list<int> ignored = {});
// The functions '0', '3', 'a', 'b' and 'i' exclude each other.
bool KeyFunctionConflicts(const cmcEeprom& image, int function, std::initializer_list<int> ignored = {});

// ---- Decoder codes ----

int EditAuxCode(cmcCellCapsule* cap, int& code, int& action, CellChangeScope& scope, const std::string& listKey,
                CellExecResult& result);
int EditAbcCode(cmcCellCapsule* cap, int& code, CellExecResult& result);

// ---- Channel pickers (zones are banks; channels are counted over all
// banks from 0) ----

// The zone chosen in a picker's zone list, kept until its channel list
// answers.
extern int g_PickerBank;
// "<bank>-<position><GI_AddCH>" of channel n (1-based bank and position).
std::string FormatPickerChannel(int n);
// which: 0 priority channel 1, 1 priority channel 2, 2 TX channel.
int EditScanChannel(cmcCellCapsule* cap, datCh& scan, int& mode, int which, CellExecResult& result);
int EditChGroupChannel(cmcCellCapsule* cap, int& channel, CellExecResult& result);
int EditGpsZoneChannel(cmcCellCapsule* cap, int& channel, int& mode, CellExecResult& result);
int EditChGroupZone(cmcCellCapsule* cap, int& zone, CellExecResult& result);
// The emergency divert mode that sends to a target channel.
constexpr int kDivertToChannel = 2;
// Whether the memory keeps a divert target channel for the channels of a
// bank: not on PMR radios, and not in the last bank of an LMR radio.
bool DivertTargetKept(int bank);
int EditZoneChannel(cmcCellCapsule* cap, cmcEeprom& image, datCh& record, int& divertMode, int bank,
                    CellExecResult& result);
