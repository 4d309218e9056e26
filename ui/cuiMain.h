#pragma once
// The main object of the cloning program, model-independent part: it opens
// the three overlay text tables, owns the working image that every sheet
// edits with its companions (the initial image of the model's defaults, the
// saved copy that the modified state is measured against, the debug
// reference), the channel clipboard and every part of the main window (menu,
// tool bar, tree, status bar, sheet area and the one open sheet), and it
// treats the working image as a document with a file name and a modified
// state.
//
// The radio model's application object indMain derives from it and adds the
// model's behaviour through the virtual operations below (kept in their slot
// order); g_Main is the one instance. Without a window (tests, the cell
// engine's headless runs) everything but the window parts works.
#include "core/cmcCloneRange.h"
#include "core/cmcEeprom.h"
#include "core/cmcEvMan.h"
#include "core/cmcFCache.h"
#include "core/cmcTick.h"
#include "platform/base/Color.h"
#include "platform/base/Rect.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class cmcTask;
class cuiClonePasswordDialog;
class cuiReadWritePasswordDialog;
class indCloneMan;
struct dst_CDrv_Result;
class cmcCellObj;
class cmcCellCapsule;
class cmcGTex;
class cuiMenu;
class cuiPrinter;
class cuiSheet;
class cuiToolBar;
class cuiTree;
class Segchar;
class datClipCh;
class ScopedSheetHost;
namespace plat {
class Canvas;
class Container;
class Form;
class ImageList;
class MainMenu;
class Panel;
class Splitter;
class StatusBar;
class TreeView;
} // namespace plat

class cuiMain {
public:
    // The deferred warning check runs this long after the last cell
    // operation that changed or could change something.
    static constexpr uint32_t CheckDelayMs = 250;
    // The period of the main object's tick.
    static constexpr int TickMs = 50;
    // Bytes of the identity answer's payload that are kept.
    static constexpr int IdentityPayloadSize = 127;
    // Bytes of a clone file that must be present when it is loaded.
    static constexpr int LoadCompareSize = 0xFF80;
    // The most languages the language list offers.
    static constexpr int MaxLanguages = 255;
    // The narrowest the tree panel gets (the splitter's minimum size).
    static constexpr int MinPanelWidth = 8;
    // The tree panel takes at most this share (percent) of the window's
    // client width when it widens to its captions.
    static constexpr int MostTreeShare = 40;
    static constexpr const char* UntitledName = "Untitled";

    // Answers of AskSaveChanges: the message-box codes Yes, No and Cancel.
    static constexpr int AnswerSave = 6;
    static constexpr int AnswerDiscard = 7;
    static constexpr int AnswerCancel = 2;

    // Address range purposes (AddressRanges).
    static constexpr int RangesSaveFile = 2;
    static constexpr int RangesLoadFile = 3;

    // baseName: the common stem of the program's overlay file names;
    // imageSize: the size of each working image. With a program folder the
    // three overlay tables are opened from it (the system table
    // "<folder><base>.OVL" with the language list, the chosen language's
    // table and the help table "<folder><base>H.OVL"); without one the
    // tables are used as the caller set them up (tests).
    cuiMain(std::string baseName, int imageSize, std::optional<std::string> programFolder = std::nullopt);
    virtual ~cuiMain(); // slot 0
    cuiMain(const cuiMain&) = delete;
    cuiMain& operator=(const cuiMain&) = delete;

    // ---- The virtual operations, in slot order ------------------------------
    // 1: the model and sub code that the clone commands send and accept (the
    // base has none: 0 and 0; the second model code stays).
    virtual void InitModelInfo();
    // 2: builds and shows the main window on the form with its two image
    // lists (they must outlive the window parts).
    virtual void BuildMainWindow(plat::Form& form, plat::ImageList& treeImages, plat::ImageList& toolBarImages);
    // 3: (re)creates the navigation tree and selects its first node.
    virtual void BuildTree();
    // 4: the image header check; 0 when the header is good, 1 when not.
    // checkMarkers adds the maker marker, the model code field and the end
    // marker of the packed data.
    virtual int CheckImageHeader(const cmcEeprom& image, bool checkMarkers);
    // 5: true rejects data of a newer layout than the program's.
    virtual bool CheckNewerData(const cmcEeprom& image);
    // 6: after a file or a radio's memory became the working image.
    virtual void AfterImageLoaded(cmcEeprom& image);
    // 7: before the working image is saved (flag 1) or after a load (0).
    virtual void BeforeImageSaved(cmcEeprom& image, int flag);
    // 8: the normalisation of an image (mode 0 after a load, 1 before
    // output; forRadio 1 when it goes to the radio).
    virtual void PrepareImageForOutput(cmcEeprom& image, int mode, int forRadio);
    // 9: before a clone write.
    virtual void BeforeCloneWrite(cmcEeprom& image);
    // 10: the warning check list; either count may be null.
    virtual void UpdateCheckList(int* errors, int* warnings);
    // 11: true rejects data of an outdated layout.
    virtual bool CheckOldData(const cmcEeprom& image);
    // 12: a new sheet, not yet shown, for a sheet spec.
    virtual std::unique_ptr<cuiSheet> CreateSheet(plat::Container* parent, const std::string& spec);
    // 13: loads the initial file of the model type into the initial image.
    virtual void LoadInitialImage(int modelType);
    // Slots 14 to 17, the clone read and write commands and their
    // continuations after the radio's identity answer (CloneRead,
    // OnCloneReadIdentified, CloneWrite, OnCloneWriteIdentified), are
    // declared with the clone commands below.
    // 18: the model and sub code check of a clone file: true when accepted,
    // else false with error 3 (model) or 4 (sub code).
    virtual bool CheckModelCode(int model, int sub, int* error);
    // 19: the address ranges of a purpose, ending with a terminator.
    virtual std::vector<dst_AdrRange> AddressRanges(int purpose);
    // 20: every character typed in the main window, in order (set it to 0
    // to drop it).
    virtual void OnFormKeyPress(char32_t& ch);
    // 21: after the status bar's size changed.
    virtual void OnStatusBarResize();
    // 22: paints an owner-drawn status panel.
    virtual void OnDrawStatusPanel(plat::StatusBar& bar, int panel, const plat::Rect& rect, plat::Canvas& canvas);

    // ---- Images ----------------------------------------------------------------
    const std::string& BaseName() const { return m_baseName; }
    int ImageSize() const { return m_imageSize; }
    // The images. None is ever resized after construction.
    cmcEeprom& CurrentImage() { return m_current; }
    const cmcEeprom& CurrentImage() const { return m_current; }
    cmcEeprom& InitialImage() { return m_initial; }
    const cmcEeprom& InitialImage() const { return m_initial; }
    const cmcEeprom& SavedCopy() const { return m_saved; }
    const cmcEeprom& DebugReference() const { return m_debugReference; }
    // Copies the clone memory of the source into the target (nothing when
    // either is missing).
    static void CopyCloneArea(cmcEeprom* target, const cmcEeprom* source);

    // ---- The document ----------------------------------------------------------
    // The file name, or while untitled the folder followed by "Untitled".
    std::string FilePath() const;
    bool IsUntitled() const { return m_fileName.empty(); }
    void SetFileName(const std::string& path);
    // The folder offered by the file dialogs.
    const std::string& Folder() const { return m_folder; }
    void SetFolder(const std::string& folder) { m_folder = folder; }
    // Chooses the folder: the stored "Current Directory", else the user's
    // documents folder, else the working directory.
    void InitDefaultFolder();
    // Marks the document modified when it is not yet and the current image
    // differs from the saved copy; returns the modified flag. A document
    // stays modified until it is saved, loaded or replaced, also when every
    // value is put back.
    bool UpdateModified();
    void MarkModified();
    // The saved copy becomes the current image; not modified.
    void MarkSaved();
    bool IsModified() const { return m_modified; }
    // The title: the file name of FilePath (without folder), " - " and the
    // overlay's application title; shown on the main form when there is one.
    void UpdateTitle();
    const std::string& Title() const { return m_title; }

    // Offers to save a modified document: AnswerSave (saved, or nothing to
    // save), AnswerDiscard or AnswerCancel (also when the save failed or its
    // dialog was cancelled). anotherFile asks whether to save before the same
    // file is opened again, and saves under a new name.
    int AskSaveChanges(bool anotherFile);
    // The document commands. Each returns 0 on success and 1 when it failed
    // or was cancelled.
    int FileNew();
    int FileOpen();
    int OpenFile(const std::string& path);
    int FileSaveAs();
    int SaveFile(const std::string& path);
    // The map revisions of clone files the program reads.
    static bool AcceptMapRev(int mapRev) { return mapRev < 2; }
    // The COM port dialog: a port from 1 to 256 becomes the ComPort setting.
    void ShowComPortDialog();
    // The port that the dialog's text names; 0 for anything outside 1 to 256.
    static int ParseComPort(const std::string& text);

    // ---- Event handling and the tick -------------------------------------------
    void OnEvent(const dst_Event* event);
    // Every 50 ms once the window is built: reopens a sheet when none is
    // open and runs the deferred warning check.
    void OnTick();
    // Switches to the language of the language index setting: the language
    // and help tables, the menu, the tree, the title and the open sheet.
    void ReloadLanguage();
    // Closes the open sheet; the tick reopens it, built anew.
    void RebuildSheet();
    void OnTreeExpandCollapse();
    void OnTreeChange();
    // The debug compare window: every byte that differs between the debug
    // reference and the current image; the reference then takes the image.
    void ShowDebugCompare();
    // The lines the debug compare window shows.
    std::vector<std::string> DebugCompareLines() const;

    // ---- Sheets and the warning check -----------------------------------------
    // The sheet classes a sheet spec asks for: the class in brackets
    // ("St_ChBank", "St_Common"), else the first letter of the code (one of
    // "KMQRXkmqrxy" a list sheet), else a plain sheet.
    enum class SheetClass { Plain, ChBank, Common, List };
    static SheetClass SheetClassOf(const std::string& spec);
    // The model's sheet classes are made by makers that the model installs;
    // a spec that asks for a class without a maker is a fault of the overlay
    // (fatal).
    using SheetMaker = std::function<std::unique_ptr<cuiSheet>(plat::Container* parent, cmcGTex* texts,
                                                                 const std::string& key, plat::ImageList* images)>;
    void SetSheetMaker(SheetClass sheetClass, SheetMaker maker);
    bool HasSheetClass(SheetClass sheetClass) const;
    void OpenSheet(const std::string& spec);
    void CloseSheet();
    // The remembered position of a sheet key; false (and all 0) when none.
    bool FindSheetPosition(const std::string& key, int& col, int& row, int& leftCol, int& topRow) const;
    int HistoryCount() const { return static_cast<int>(m_history.size()); }
    // Opens the sheet of the selected tree node (of the newest remembered
    // sheet without a tree) while the main form is shown.
    void ReopenTreeSelection();
    // Every pop-up editor commits and closes.
    void ClosePopups();
    // The deferred warning check: ScheduleCheck (re)starts the delay, so the
    // check runs CheckDelayMs after the last call. The tick that runs the
    // check takes the delay when it has expired (TakeExpiredCheck).
    void ScheduleCheck();
    bool CheckScheduled() const { return m_checkDelay != nullptr; }
    uint32_t CheckDelayRemaining() const;
    // True (and the delay is gone) when a scheduled check is due now.
    bool TakeExpiredCheck();
    // The sheet specs of the last warning check with errors and warnings.
    const std::vector<std::string>& CheckErrors() const { return m_checkErrors; }
    const std::vector<std::string>& CheckWarnings() const { return m_checkWarnings; }
    // The next opened sheet forgets its stored column widths.
    void RequestColumnWidthReset() { m_resetWidths = true; }
    bool ColumnWidthResetRequested() const { return m_resetWidths; }

    // ---- Window parts -------------------------------------------------------------
    plat::Form* MainForm() const { return m_mainForm; }
    plat::ImageList* TreeImages() const { return m_treeImages; }
    plat::ImageList* ToolBarImages() const { return m_toolBarImages; }
    plat::Panel* LeftPanel() const { return m_leftPanel; }
    plat::Panel* RightPanel() const { return m_rightPanel; }
    plat::Splitter* Splitter() const { return m_splitter; }
    plat::StatusBar* StatusBar() const { return m_statusBar; }
    cuiMenu* Menu() const { return m_menu.get(); }
    cuiToolBar* ToolBar() const { return m_toolBar.get(); }
    cuiTree* Tree() const { return m_tree; }
    // The status text panel (the owner-drawn panel at index 0) and its text.
    int StatusTextPanel() const { return m_statusPanel; }
    const std::string& StatusText() const { return m_statusText; }
    plat::Color StatusTextColor() const { return m_statusTextColor; }
    plat::Color StatusBackColor() const { return m_statusBackColor; }
    // Flips the "Toolbar Visible" setting and shows or hides the tool bar.
    void ToggleToolBar();
    bool ToolBarVisible() const;
    // Appends a panel and shifts the settings of the panels from index on
    // one place right, so that the panel at index takes new settings;
    // returns the number of panels after index.
    static int InsertStatusPanel(plat::StatusBar& bar, int index);
    // Deletes every tree node whose cell carries FlagN.
    static void DeleteFlaggedTreeNodes(plat::TreeView& view, int n);
    bool ApplicationInactive() const { return m_appInactive; }
    void OnAppActivate() { m_appInactive = false; }
    void OnAppDeactivate() { m_appInactive = true; }
    void OnFormShow();
    void OnFormCloseQuery(bool& canClose);
    void OnFormClose();
    // The tick runs between the building of the window and its closing.
    bool TickRunning() const;

    // ---- Modes, model codes, identity ---------------------------------------------
    cmcFCache& ValueLabels() { return *m_valueLabels; }
    // The segment glyph shapes of the language table (none when the object
    // was made without overlay files).
    const Segchar* SegmentGlyphs() const { return m_segchar.get(); }
    // Maker mode and customer-specific mode (0 off).
    int MakerMode() const { return m_makerMode; }
    void SetMakerMode(int on) { m_makerMode = on; }
    int CustomerMode() const { return m_customerMode; }
    void SetCustomerMode(int on) { m_customerMode = on; }

    int ModelCode() const { return m_modelCode; }
    int SubCode() const { return m_subCode; }
    int SecondModelCode() const { return m_secondModelCode; }
    bool IsVariant() const { return m_variant; }
    bool IsIdentified() const { return m_identified; }

    // The last identity answer: model and sub code (most significant byte
    // first) and the first 127 payload bytes (zeros until one arrives).
    const std::array<uint8_t, 4>& IdentityBytes() const { return m_identityBytes; }
    const std::array<uint8_t, IdentityPayloadSize>& IdentityPayload() const { return m_identityPayload; }
    // Keeps an accepted identity answer: the payload (shorter ones are filled
    // up with zeros) and the model and sub code.
    void SetIdentity(int modelCode, int subCode, const uint8_t* payload, int length);

    // The open sheet (none while no sheet is shown) and its overlay key.
    cuiSheet* CurrentSheet() const { return m_currentSheet; }
    const std::string& CurrentSheetKey() const { return m_currentSheetKey; }
    // Names a sheet as the open one without handing it over (tests of the
    // cell behaviours that depend on the open sheet).
    void SetCurrentSheet(cuiSheet* sheet, const std::string& key)
    {
        m_currentSheet = sheet;
        m_currentSheetKey = sheet ? key : std::string();
    }
    // While sheets are printed the printing decides which user character set
    // is drawn: 1 the 7-column set, 2 the 5-column set, 0 the open sheet's.
    int CharSetPrintOverride() const { return m_charSetPrintOverride; }
    void SetCharSetPrintOverride(int value) { m_charSetPrintOverride = value; }
    // Set while a list of sheets is printed: list sheets then show the rows
    // meant for paper and leave out their empty row.
    bool ListPrinting() const { return m_listPrinting; }
    void SetListPrinting(bool on) { m_listPrinting = on; }
    // The printer, made with the main window (null before and without one).
    cuiPrinter* Printer() const { return m_printer.get(); }

    // The folder the program's files lie in, with a trailing '/' ("" for the
    // working directory).
    const std::string& ProgramFolder() const { return m_programFolder; }
    void SetProgramFolder(const std::string& folder) { m_programFolder = folder; }

    // ==== Clone commands: clone read, clone write and clone information ====
    // (ui/cuiMainClone.cpp; the model's steps override the slots in indMain)

    // What an address range list is for (AddressRanges).
    // (2 saves a file, 3 loads one; any other purpose covers the whole
    // clone memory.)
    enum CloneRangePurpose {
        RangesCloneWrite = 0,    // a clone write outside the maker mode
        RangesCloneRead = 1,     // a clone read, and a clone write in maker mode
        RangesRepeaterFile = 5,
    };
    // Result codes of the main object's checks of identity answers and read
    // images (the driver's own codes are in core/cmcCloneDrv.h).
    static constexpr int CloneBadIdentity = 11;  // model, payload length or end address
    static constexpr int CloneBadFormat = 14;    // data format, or a radio too old to write
    static constexpr int CloneBadHeader = 15;    // image header or its markers
    static constexpr int CloneNewerData = 16;
    static constexpr int CloneOldData = 18;
    // Identity payload positions the clone commands read.
    static constexpr int IdVersion = 34;
    static constexpr int IdDataFormat = 35;
    static constexpr int IdFlags52 = 52;
    static constexpr int IdFlags53 = 53;
    static constexpr int IdEnd4 = 56;   // 4 hexadecimal characters
    static constexpr int IdEnd8 = 101;  // 8 hexadecimal characters
    static constexpr int IdAddressing = 109;
    static constexpr int ClonePasswordMax = 16;

    // The commands. Each answers 0 when the radio is being identified, 2
    // when the user cancelled the offer to save, or the driver's state when
    // an operation runs already.
    virtual int CloneRead();
    virtual int CloneWrite();
    int ShowCloneInformation();
    // Opens the language dialog over the main form; it lives until it is
    // closed (the language menu command).
    void ShowLanguageDialog(cmcCellCapsule* capsule);
    // Steps after the identity answer (completions of the identify).
    virtual void OnCloneReadIdentified(dst_CDrv_Result* result);
    virtual void OnCloneWriteIdentified(dst_CDrv_Result* result);
    void OnCloneInfoIdentified(dst_CDrv_Result* result);
    // Completions of the read and the write: a successful read replaces the
    // document; a failed one changes nothing.
    void OnCloneReadDone(dst_CDrv_Result* result);
    void OnCloneWriteDone(dst_CDrv_Result* result);
    // The checks the clone manager runs on identify and read results; they
    // set a result code when the answer or the image is refused.
    void CheckCloneIdAnswer(dst_CDrv_Result* result);
    void CheckCloneReadData(dst_CDrv_Result* result);
    // The radio's last clone address from the identity payload: the 8
    // hexadecimal characters at 101, or when they give 0 the 4 at 56,
    // rounded to the last address of its 16-byte block.
    uint32_t CloneEndAddress() const;
    static uint32_t CloneEndAddressOf(const std::array<uint8_t, IdentityPayloadSize>& payload);
    // The image header check (0 good, 1 bad): model mark, format bytes and,
    // with checkMarkers, the maker marker, the model code and the end marker.
    static int CheckCloneImageHeader(const cmcEeprom& image, bool checkMarkers);
    // The range list of the running read or write.
    const std::vector<dst_AdrRange>& CloneRanges() const { return m_cloneRanges; }

    // The clone password dialog (modal): OK with 1 to 16 characters stores
    // the password and sets the password-given flags of the main object and
    // of the clone manager; Cancel changes nothing.
    void ShowClonePasswordDialog();
    void OnClonePasswordOkClick();
    void OnClonePasswordCancelClick();
    bool ClonePasswordGiven() const { return m_passwordGiven; }
    // The read/write password dialog (modal) for the password cell: OK
    // with two equal texts sets the result flag and the 17-byte buffer.
    void ShowReadWritePasswordDialog(const std::string& initial);
    void OnReadWritePasswordOkClick();
    void OnReadWritePasswordCancelClick();
    bool ReadWritePasswordResult() const { return m_rdWrPasswordResult; }
    const std::array<uint8_t, 17>& ReadWritePassword() const { return m_rdWrPassword; }

    // The clone manager (made on first use, with the two checks installed).
    indCloneMan& CloneMan();

    // What the clone commands need of the document and the windows (the
    // clone tests replace them):
    //   CloneAskSaveChanges: AskSaveChanges without another file.
    //   CloneCloseSheet: CloseSheet.
    //   CloneCheckListErrors: the warning check list's error count.
    //   CloneCheckImage: the checks of a read image: 15 for a bad header (with
    //     its markers), 16 for newer data, 18 for outdated data, else 0.
    //   CloneImageLoaded: AfterImageLoaded (unpack and normalise).
    //   CloneShowInformationDialog: the information dialog of the sheet
    //     "GI_Sheet_CloneInfo".
    virtual int CloneAskSaveChanges();
    virtual void CloneCloseSheet();
    virtual int CloneCheckListErrors();
    virtual int CloneCheckImage(const cmcEeprom& image);
    virtual void CloneImageLoaded(cmcEeprom& image);
    virtual void CloneShowInformationDialog();
    // ==== end of the clone commands ====

protected:
    // The status panels: text colour and back colour of the text panel.
    void SetStatusColors(plat::Color text, plat::Color back);
    // Frees the window parts that lie on the form (sheet, tree, tool bar,
    // menu) while the form still holds their controls, and forgets the form.
    void ReleaseWindowParts();

    int m_modelCode = 0;
    int m_subCode = 0;
    int m_secondModelCode = 0;
    bool m_variant = false;
    bool m_identified = false;
    plat::Form* m_mainForm = nullptr;

private:
    struct HistoryNode {
        std::string Key;
        int Col = 0;
        int Row = 0;
        int LeftCol = 0;
        int TopRow = 0;
    };

    void OpenOverlays(const std::string& folder);
    void BuildStatusBar(plat::Form& form);
    // Gives the tree panel its default width: widened from the default to
    // the tree's captions, up to a share of the window.
    void FitTreePanel(const plat::Form& form);
    void InstallFormHandlers(plat::Form& form);
    // The list-event table: renumbering and the list's count.
    void OnListEvent(const dst_Event* event);
    // Evaluates one check cell (notify 0) and files its argument as an
    // error or a warning.
    void RunCheckCell(cmcCellObj& cell, int row, int* errors, int* warnings);
    void MarkTreeFromChecks();
    bool SheetGridShowing() const;
    void SetTreeHandlers();
    void ForgetTree(cuiTree* tree);

    std::string m_baseName;
    int m_imageSize;
    std::string m_programFolder;
    std::string m_folder;
    std::string m_fileName;
    bool m_modified = false;
    std::string m_title;
    int m_makerMode = 0;
    int m_customerMode = 0;
    std::unique_ptr<cmcTick> m_checkDelay;
    std::vector<HistoryNode> m_history; // newest first
    std::vector<std::string> m_checkErrors;
    std::vector<std::string> m_checkWarnings;
    bool m_resetWidths = false;
    bool m_appInactive = false;
    std::array<uint8_t, 4> m_identityBytes{};
    std::array<uint8_t, IdentityPayloadSize> m_identityPayload{};
    int m_charSetPrintOverride = 0;
    bool m_listPrinting = false;

    // Window parts.
    plat::ImageList* m_treeImages = nullptr;
    plat::ImageList* m_toolBarImages = nullptr;
    plat::Panel* m_leftPanel = nullptr;
    plat::Panel* m_rightPanel = nullptr;
    plat::Splitter* m_splitter = nullptr;
    // The user has set the tree panel's width (stored, or by dragging the
    // splitter); until then it follows the window.
    bool m_treeWidthSet = false;
    plat::StatusBar* m_statusBar = nullptr;
    plat::MainMenu* m_mainMenu = nullptr;
    int m_statusPanel = 0;
    plat::Color m_statusTextColor = plat::clWindowText;
    plat::Color m_statusBackColor = plat::clBtnFace;
    std::string m_statusText;
    bool m_focusOnGrid = false;
    std::unique_ptr<cuiMenu> m_menu;
    std::unique_ptr<cuiToolBar> m_toolBar;
    std::unique_ptr<cuiPrinter> m_printer;
    cuiTree* m_tree = nullptr;
    std::array<SheetMaker, 4> m_sheetMakers;
    std::unique_ptr<cuiSheet> m_ownedSheet;
    cuiSheet* m_currentSheet = nullptr;
    std::string m_currentSheetKey;

    std::unique_ptr<datClipCh> m_clipboard;
    datClipCh* m_previousClipboard = nullptr;
    cmcEeprom m_current;
    cmcEeprom m_initial;
    cmcEeprom m_saved;
    cmcEeprom m_debugReference;
    std::unique_ptr<cmcFCache> m_valueLabels;
    std::unique_ptr<Segchar> m_segchar;
    cmcTask* m_tick = nullptr; // disposed of, as it may be inside its callback
    std::unique_ptr<ScopedSheetHost> m_sheetHost;
    cmcEvSubscription m_events;

    // ==== Clone commands (ui/cuiMainClone.cpp) ====
protected:
    bool m_passwordGiven = false;
    bool m_rdWrPasswordResult = false;
    std::array<uint8_t, 17> m_rdWrPassword{};
    std::vector<dst_AdrRange> m_cloneRanges;

private:
    struct CloneManDeleter {
        void operator()(indCloneMan* man) const;
    };
    // The password dialogs while they are open.
    cuiClonePasswordDialog* m_clonePasswordDialog = nullptr;
    cuiReadWritePasswordDialog* m_rdWrPasswordDialog = nullptr;
    std::unique_ptr<indCloneMan, CloneManDeleter> m_cloneMan;
    // ==== end of the clone commands ====
};
