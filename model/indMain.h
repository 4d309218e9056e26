#pragma once
// The radio model's application object: the main object of the cloning
// program (g_Main). It adds to cuiMain what is particular to this radio
// model: the working image of the model's size, the data layer's view of
// the running program (ModelContext), the packing of the working tables into
// the clone memory and the help context of a cell.
#include "ui/cuiMain.h"

#include "model/EepromMap.h"
#include "model/ModelContext.h"
#include "model/Normalise.h"

class cmcCellCapsule;

class indMain : public cuiMain {
public:
    indMain();
    ~indMain() override;

    void InitModelInfo() override;

    // Packing the working tables of an image into its clone memory. Each
    // answers 0 when everything fitted and 1 on overflow.
    //   Static2Dynamic: one pack with the given options.
    //   PackWithLayoutFlag: a trial pack decides whether the newest layout's
    //     table still fits (layout bit), then the pack whose answer counts.
    //   PackNewLayout: PackWithLayoutFlag without the legacy 16-bit layout.
    //   Pack: PackNewLayout with every option off (after edits that change
    //     list sizes, banks or the channel layout).
    //   PackPlain: Static2Dynamic with every option off, without the trial.
    int Static2Dynamic(cmcEeprom& image, bool forRadio, bool withBudget, bool legacy16);
    int PackWithLayoutFlag(cmcEeprom& image, bool forRadio, bool withBudget, bool legacy16);
    int PackNewLayout(cmcEeprom& image, bool forRadio, bool withBudget);
    int Pack(cmcEeprom& image);
    int PackPlain(cmcEeprom& image);

    // The number of the help context of the capsule's cell in the help file
    // (0 when there is none).
    int HelpContextId(const cmcCellCapsule& capsule);

    // ==== Clone steps of the model (model/indMainClone.cpp) ====
    // Clone read: the radio's clone password when it asks for one, then the
    // read of 0 to its end address in the addressing it reports.
    int CloneRead() override;
    void OnCloneReadIdentified(dst_CDrv_Result* result) override;
    // Clone write: refused without an active channel or with check-list
    // errors; otherwise the confirmations, a second identify, the clone
    // password, the version gates and the packing of a copy for the radio.
    int CloneWrite() override;
    void OnCloneWriteIdentified(dst_CDrv_Result* result) override;
    // The model's address ranges: a clone write outside the maker mode
    // leaves the first 256 bytes out; repeater-list files cover 0 to 214.
    std::vector<dst_AdrRange> AddressRanges(int purpose) override;
    // The read image's checks: the header, then newer and outdated data.
    int CloneCheckImage(const cmcEeprom& image) override;
    // A read image is unpacked into the working tables and normalised.
    void CloneImageLoaded(cmcEeprom& image) override;
    // The last address of the 128-byte block that holds the image's end
    // address (the 32-bit form when it is not 0, else the 16-bit form).
    static int CloneWriteEndAddress(const cmcEeprom& image);
    // The serial number of the last identity answer: the last 6 of its 12
    // hexadecimal characters from position 37; 0 when they are not all
    // hexadecimal digits.
    void ParseSerialNumber();
    uint32_t SerialNumber() const { return m_serialNumber; }
    // Data versions: a newer one is refused when the overlay locks newer data
    // out; an old one is refused when it still carries table 110.
    static int DataVersionOf(const cmcEeprom& image);
    bool IsNewerData(int dataVersion) const;
    bool IsOldData(const cmcEeprom& image, int dataVersion) const;
    // ==== end of the clone steps ====

private:
    // The data layer reads the current image, the open list sheet's group,
    // the model type's channel kind and the priority-removal option from here.
    ScopedModelContext m_context;

    // ==== Clone steps of the model ====
    // Normalises the copy for the radio; what the normalisation found.
    OutputPreparation PrepareCloneWriteCopy(cmcEeprom& copy);
    bool PackForRadio(cmcEeprom& copy);
    bool m_writeConfirmationsDone = false;
    bool m_secondIdentifyPending = false;
    uint32_t m_serialNumber = 0;
    // ==== end of the clone steps ====
};

// The main object of the running program; null while there is none.
extern indMain* g_Main;

// Makes a main object, installs it as g_Main for its lifetime and puts the
// previous one back when it goes (the program entry and tests).
class indMainHolder {
public:
    indMainHolder();
    ~indMainHolder();
    indMainHolder(const indMainHolder&) = delete;
    indMainHolder& operator=(const indMainHolder&) = delete;

    indMain& Get() { return m_main; }

private:
    indMain* m_previous;
    indMain m_main;
};
