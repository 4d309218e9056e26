#pragma once
// The radio model's application object: the main object of the cloning
// program (g_Main). It adds to cuiMain what is particular to this radio
// model: the accepted model codes, the tree's caption, the data-version
// checks, the loading and saving hooks (unpacking and normalisation), the
// model type kept in step with the loaded data, the status panels, the
// maker and customer-specific modes with their typed access words, the
// rebuilding of the tree's memory-channel branch, the data layer's view of
// the running program (ModelContext) and the packing of the working tables.
#include "ui/cuiMain.h"

#include "model/EepromMap.h"
#include "model/ListRows.h"
#include "model/ModelContext.h"
#include "model/Normalise.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class cmcCellCapsule;

// Bit n of a byte array counted from the most significant bit of byte 0
// (n = 0 is mask 0x80 of byte 0, n = 9 mask 0x40 of byte 1); 0 when n / 8
// is not below the length.
int GetArrayBit(const uint8_t* bytes, int length, int n);

class indPopupWindows;

class indMain : public cuiMain {
public:
    // The model codes this program accepts.
    static constexpr int ModelCodeMain = 0x7143;
    static constexpr int ModelCodeSecond = 0x7148;
    // A clone file's sub code is the configured one or this.
    static constexpr int AnySubCode = 256;
    // The model types: the LMR and the PMR variant of the radio.
    static constexpr int ModelTypeLmr = 0;
    static constexpr int ModelTypePmr = 1;
    // The least width of the status text panel.
    static constexpr int MinStatusTextWidth = 100;
    // The command-line switch of the maker mode (letter case aside).
    static constexpr const char* MakerSwitch = "/marlock";

    // With the overlays as the caller set them up (tests).
    indMain();
    // The program's main object: the overlays are opened from the folder.
    explicit indMain(const std::string& programFolder);
    ~indMain() override;

    // ---- Overrides of the main object's virtual operations ------------------------
    void InitModelInfo() override;
    void BuildMainWindow(plat::Form& form, plat::ImageList& treeImages, plat::ImageList& toolBarImages) override;
    void BuildTree() override;
    // True (reject) when the overlay locks out newer data and the image's
    // data version is above 3.
    bool CheckNewerData(const cmcEeprom& image) override;
    // Unpacks the loaded image and normalises it; a file or radio of the
    // other model type switches the model type first and starts again from
    // that type's defaults.
    void AfterImageLoaded(cmcEeprom& image) override;
    void BeforeImageSaved(cmcEeprom& image, int flag) override;
    void PrepareImageForOutput(cmcEeprom& image, int mode, int forRadio) override;
    void BeforeCloneWrite(cmcEeprom& image) override;
    // The base check, then the tree's bank icons and the sheet titles follow.
    void UpdateCheckList(int* errors, int* warnings) override;
    // True (reject) for data of version 2 or less whose stored table
    // directory holds table 110.
    bool CheckOldData(const cmcEeprom& image) override;
    // Accepts the main model code and the second one, with the sub code or
    // 256; before any radio was identified, notes whether it was the second.
    bool CheckModelCode(int model, int sub, int* error) override;
    // Watches the typed characters for the maker and customer access words.
    void OnFormKeyPress(char32_t& ch) override;
    // The status text panel takes the room the other panels leave.
    void OnStatusBarResize() override;
    // The maker panel in white on maroon; the others as the base.
    void OnDrawStatusPanel(plat::StatusBar& bar, int panel, const plat::Rect& rect, plat::Canvas& canvas) override;

    // ---- Modes and the model type ---------------------------------------------------
    // Asks the maker caution and, on OK, switches the maker mode on for the
    // rest of the run (tree with the maker's nodes, maker panel).
    void EnterMakerMode();
    // Switches between model type 0 (LMR) and 1 (PMR): the initial image of
    // the type and the tree. With confirm the user is asked first and the
    // document is replaced by the new type's defaults (untitled).
    void ChangeModelType(int modelType, bool confirm);
    // The model type as the data of an image tell it (bit 6 of working byte
    // 176068 after unpacking a scratch copy).
    int ModelTypeOfData(const cmcEeprom& image) const;
    int ModelType() const;
    // The program's command line (argument 0 the program): a maker switch
    // among them asks for the maker mode once the window is built.
    void SetCommandLine(std::vector<std::string> arguments) { m_arguments = std::move(arguments); }
    // The maker panel (its index in the status bar), -1 while there is none.
    int MakerPanel() const { return m_makerPanel; }
    const std::string& MakerPanelText() const { return m_makerPanelText; }

    // The confirmation boxes (OK and Cancel, warning icon); plat::IDOK for OK.
    int ConfirmCloneWrite();
    int ConfirmClonePasswordWrite();
    int ConfirmCorvelMode();
    int ConfirmMakerCaution();

    // What the last normalisation found (tested before a clone write).
    bool HasNonZephChannel() const { return m_hasNonZephChannel; }
    bool HasNonMultisiteChannel() const { return m_hasNonMultisiteChannel; }

    // Rebuilds the tree's memory-channel branch when the data were replaced.
    void OnEvent(const dst_Event* event);

    // ---- Packing ------------------------------------------------------------------------
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

    // ---- Print selections (model/indMainPrint.cpp) ------------------------------------
    // The print commands decide which sheets are printed: the sheets of the
    // tree and, in the LMR mode, the repeater lists of the trunked banks and
    // of the multisite sites, each right after the sheets they belong to.
    static constexpr const char* BankOperationSpec = "GI_Sheet_BankOpLtr,Bank %d,%d,0";
    static constexpr const char* SiteListSpec = "GI_Sheet_Multisite_SiteList,m";
    // The working bytes of the multisite site records: 8 bytes per site,
    // the site's identity in byte 3.
    static constexpr int SiteRecords = 162646;
    static constexpr int SiteRecordSize = 8;
    static constexpr int SiteIdByte = 3;
    // The repeater groups of LTR banks, ZEPH banks and multisite sites.
    static constexpr int LtrRepeaterKind = 22;
    static constexpr int ZephRepeaterKind = 27;
    static constexpr int SiteRepeaterKind = 31;
    // The tree's first nodes, whose sheets are the bank operation sheets'
    // group.
    static constexpr int BankOperationNodes = 3;

    // Print current: the open sheet alone, or in the LMR mode the whole
    // group of an overview sheet (bank operations, multisite site list).
    void PrintCurrent();
    // Print all: every tree sheet with the repeater lists.
    void PrintAll();
    void PrintBankOperationSheets();
    void PrintMultisiteSheets();
    // The lists the print commands hand to the printer (tests read them
    // without printing).
    std::vector<std::string> PrintAllSheets();
    std::vector<std::string> BankOperationSheets();
    std::vector<std::string> MultisiteSheets();
    // The repeater-list sheets of the banks (LTR or ZEPH banks with
    // repeaters, in bank order) and of the sites (sites with repeaters and
    // an identity, in site order). Each one sets the list-print flag.
    void AddRepeaterSetSheets(std::vector<std::string>& list);
    void AddMultisiteRepeaterSheets(std::vector<std::string>& list);
    // The sheet spec of the tree node at node order n ("" without one).
    std::string TreeNodeSpec(int n) const;
    int TreeNodeCount() const;

    // The number of the help context of the capsule's cell in the help file
    // (0 when there is none).
    int HelpContextId(const cmcCellCapsule& capsule);
    // Shows the help (a help command with its data) from the program's help
    // file; when it cannot be shown, says so in a message box.
    void ShowHelpFile(unsigned command, int data);

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
    // The last address of the 128-byte block that holds the image's end
    // address (the 32-bit form when it is not 0, else the 16-bit form).
    static int CloneWriteEndAddress(const cmcEeprom& image);
    // The serial number of the last identity answer: the last 6 of its 12
    // hexadecimal characters from position 37; 0 when they are not all
    // hexadecimal digits.
    void ParseSerialNumber();
    uint32_t SerialNumber() const { return m_serialNumber; }
    // ==== end of the clone steps ====

private:
    void Init();
    void RebuildBankBranch();
    // Hands a list to the printer and prints it.
    void PrintList(const std::vector<std::string>& list);
    // Follows one typed character through an access word; true when the
    // word is complete.
    static bool FollowWord(int& counter, const std::string& word, char32_t ch);
    int Confirm(const std::string& key);

    std::string m_makerPanelText;
    int m_makerPanel = -1;
    bool m_hasNonZephChannel = false;
    bool m_hasNonMultisiteChannel = false;
    // How many characters of each access word have been typed in a row.
    int m_makerWordTyped = 0;
    int m_customerWordTyped = 0;
    std::vector<std::string> m_arguments;

    // The data layer reads the current image, the open list sheet's group,
    // the model type's channel kind and the priority-removal option from here.
    ScopedModelContext m_context;
    // The list-row operations ask, check the room and pack through here.
    std::unique_ptr<ScopedRowOpsHooks> m_rowOps;
    // The windows the cells open (pick lists, dialogs), once the main window
    // is built.
    std::unique_ptr<indPopupWindows> m_popups;
    cmcEvSubscription m_events;

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
    // The overlays as the caller set them up (tests).
    indMainHolder();
    // The program's overlays, opened from the folder.
    explicit indMainHolder(const std::string& programFolder);
    ~indMainHolder();
    indMainHolder(const indMainHolder&) = delete;
    indMainHolder& operator=(const indMainHolder&) = delete;

    indMain& Get() { return *m_main; }

private:
    indMain* m_previous;
    std::unique_ptr<indMain> m_main;
};
