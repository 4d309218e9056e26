#pragma once
// Packing the working tables of an image into its clone memory: the tables
// back to back from address 512, the table directory (the 12-byte form, or
// the 10-byte form in the 16-bit layout), the end marker and the header's
// layout fields. A pack is also the test of whether the memory still fits:
// on overflow the dynamic area holds the tables that fitted, no directory and
// no end marker, and the header's ends are zero.
//
// What the packer reads of the program comes from the model context: the
// model type (LMR radios carry the trunking tables), the last identity
// payload (radios older than version 0x32 do not take the newest tables;
// byte 109 tells the radio's layout) and, for the channel budget, the
// current working image.
class cmcEeprom;

constexpr int kPackOk = 0;
constexpr int kPackOverflow = 1;

namespace PackLayout {
// Every table, the directory and the end marker must end at or below the
// limit of the layout.
constexpr int Limit = 0x1FF7F;
constexpr int Limit16 = 0xFF7F;  // the 16-bit layout
// The first radio version that takes the newest tables.
constexpr int NewTablesVersion = 0x32;
// The layout byte (first byte of table 125): bit 7 set packs table 125.
constexpr int LayoutByte = 303656;
constexpr int LayoutBit = 7;
// The tactical setting (bit 6) that pads bank 127 with free channel slots.
constexpr int TacticalByte = 175758;
constexpr int TacticalBit = 6;
}  // namespace PackLayout

// Packs; kPackOk or kPackOverflow. forRadio: the result goes to the radio
// identified last; withBudget: bank 127 is padded with the channel slots that
// still fit (when the tactical setting is on); legacy16: the 16-bit layout.
// Bank 127's own channels are never dropped: when they do not fit, the pack
// overflows.
int Static2Dynamic(cmcEeprom& image, bool forRadio, bool withBudget, bool legacy16);
// Sets the layout bit when it is clear and keeps it only when a trial pack
// with table 125 fits; then packs and returns that result.
int PackWithLayoutFlag(cmcEeprom& image, bool forRadio, bool withBudget, bool legacy16);
int PackNewLayout(cmcEeprom& image, bool forRadio, bool withBudget);
// The pack after edits, loads and model changes: new layout, no options.
int Pack(cmcEeprom& image);
// Static2Dynamic without options and without the layout trial.
int PackPlain(cmcEeprom& image);

// The channel budget. Whether n more channels of a bank other than 127 still
// fit into the clone memory of an image, judged by the ends of its last pack
// (strict: the 16-bit layout's limit).
bool ChannelsFit(const cmcEeprom& image, int n, bool strict);
// The largest m from n down to 0 for which ChannelsFit(image, m, false)
// holds; -1 when none does (also for a negative n).
int MaxChannelsThatFit(const cmcEeprom& image, int n);
// The same judged on a copy of the image packed for the radio in the 16-bit
// layout without the budget: 0 when that pack overflows, else the largest m
// for which ChannelsFit(copy, m, true) holds, -1 when none does.
int MaxChannelsThatFitPacked(const cmcEeprom& image, int n);
