#pragma once
// Normalisation of an image before it is saved or written and after it is
// loaded: older data are migrated, values are taken over between channels and
// their banks, the radio's own bookkeeping is brought in line (power-on
// channel, bank start positions, sorted ID indexes, decode windows), and
// every bit that the item codec does not carry returns to the default of the
// initial image.
//
// What the steps read of the program comes from the model context: the
// initial image, the current working image (some values are written into
// both), the model type, the environment's fixed options, the radio's version
// and serial number from the last identification, and the largest unit ID.
class cmcEeprom;

// When the normalisation runs.
enum NormaliseMode {
    kAfterLoad = 0,     // migrate, and take values over from channels into banks
    kBeforeOutput = 1,  // push bank values back into channels, final checks, pack
};

// What the main object keeps of a normalisation. Nothing here clears the
// model-variant flag of the main object: it is set when a radio or file of the
// second model code is met, and clearing it on every load would undo that
// detection at once.
struct OutputPreparation {
    // An active channel exists that a radio below version 0x24 (resp. 0x32)
    // can take: one outside the ZEPH and multisite banks (resp. outside the
    // multisite banks). A clone write refuses such radios without one.
    bool HasNonZephChannel = false;
    bool HasNonMultisiteChannel = false;
    // Key function 0x69 is assigned: the customer-specific mode is to be set.
    bool CustomerMode = false;
};

// The whole normalisation of an image. forRadio: the result goes to the
// radio identified last.
OutputPreparation PrepareImageForOutput(cmcEeprom& image, int mode, bool forRadio);
// Called by the clone write before the normalisation; it does nothing.
void BeforeCloneWrite(cmcEeprom& image);

// Upgrade and fix-up routines of a loaded image, in the order in which the
// normalisation calls them.
void UpgradeVersion0Data(cmcEeprom& image);
void FixPio23Select(cmcEeprom& image);
void RemovePriorityFunctions(cmcEeprom& image);
void InitEmergencyBacklightTimer(cmcEeprom& image);
void InitDigitalLagTimer(cmcEeprom& image);
void UpgradeVersion2Data(cmcEeprom& image);
void LimitRotarySelect(cmcEeprom& image);
void FixAarChannelModes(cmcEeprom& image);
void RemoveKeyFunctionC(cmcEeprom& image);
// Used by them.
void UpgradeEmergencyKeys(cmcEeprom& image);
// Replaces the old emergency key functions and returns their votes for the
// silent and the repeat mode.
void ConvertOldEmergencyKeys(cmcEeprom& image, int& silentVote, int& repeatVote);
void UpgradeKeyFunctionF(cmcEeprom& image);

// Channels of vote-zone (resp. multisite) banks leave every scan list, and scan
// lists that would scan or transmit on them are changed.
void RemoveVoteZoneChannelsFromScanLists(cmcEeprom& image);
void RemoveMultisiteChannelsFromScanLists(cmcEeprom& image);
