#pragma once
// The main object of the cloning program, model-independent part: it owns
// the working image that every sheet edits with its two companions (the
// initial image of the model's defaults and the saved copy that the
// modified state is measured against), the document's file name and
// modified state, the maker and customer modes, the last identity answer,
// the value-label cache of the choice cells and the deferred warning check.
//
// The radio model's application object indMain derives from it; g_Main is
// the one instance. Everything here works without a window: the cell
// engine, the data layer and the tests use it headless. The window, the
// menus, the tree and the clone commands join this object where they are
// built.
#include "core/cmcCloneRange.h"
#include "core/cmcEeprom.h"
#include "core/cmcFCache.h"
#include "core/cmcTick.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class cuiSheet;
class cuiClonePasswordDialog;
class cuiReadWritePasswordDialog;
class indCloneMan;
struct dst_CDrv_Result;
namespace plat {
class Form;
}

class cuiMain {
public:
    // The deferred warning check runs this long after the last cell
    // operation that changed or could change something.
    static constexpr uint32_t CheckDelayMs = 250;
    // Bytes of the identity answer's payload that are kept.
    static constexpr int IdentityPayloadSize = 127;
    static constexpr const char* UntitledName = "Untitled";

    // baseName: the common stem of the program's overlay and file names;
    // imageSize: the size of each working image. The current image is
    // zero-filled, the initial image a copy of it, the saved copy empty
    // (so the first change marks the document modified until MarkSaved).
    cuiMain(std::string baseName, int imageSize);
    virtual ~cuiMain();
    cuiMain(const cuiMain&) = delete;
    cuiMain& operator=(const cuiMain&) = delete;

    // The model and sub code that the clone commands send and accept (the
    // base has none: 0 and 0).
    virtual void InitModelInfo();

    const std::string& BaseName() const { return m_baseName; }
    int ImageSize() const { return m_imageSize; }

    // The images. Neither is ever resized after construction.
    cmcEeprom& CurrentImage() { return m_current; }
    const cmcEeprom& CurrentImage() const { return m_current; }
    cmcEeprom& InitialImage() { return m_initial; }
    const cmcEeprom& InitialImage() const { return m_initial; }
    const cmcEeprom& SavedCopy() const { return m_saved; }

    // The document.
    // The file name, or while untitled the folder followed by "Untitled".
    std::string FilePath() const;
    bool IsUntitled() const { return m_fileName.empty(); }
    void SetFileName(const std::string& path);
    const std::string& Folder() const { return m_folder; }
    void SetFolder(const std::string& folder) { m_folder = folder; }
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

    // The deferred warning check: ScheduleCheck (re)starts the delay, so the
    // check runs CheckDelayMs after the last call. The tick that runs the
    // check takes the delay when it has expired (TakeExpiredCheck).
    void ScheduleCheck();
    bool CheckScheduled() const { return m_checkDelay != nullptr; }
    uint32_t CheckDelayRemaining() const;
    // True (and the delay is gone) when a scheduled check is due now.
    bool TakeExpiredCheck();

    cmcFCache& ValueLabels() { return *m_valueLabels; }

    // Maker mode and customer-specific mode (0 off).
    int MakerMode() const { return m_makerMode; }
    void SetMakerMode(int on) { m_makerMode = on; }
    int CustomerMode() const { return m_customerMode; }
    void SetCustomerMode(int on) { m_customerMode = on; }

    // The model codes.
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
    void SetCurrentSheet(cuiSheet* sheet, const std::string& key)
    {
        m_currentSheet = sheet;
        m_currentSheetKey = sheet ? key : std::string();
    }
    // While sheets are printed the printing decides which user character set
    // is drawn: 1 the 7-column set, 2 the 5-column set, 0 the open sheet's.
    int CharSetPrintOverride() const { return m_charSetPrintOverride; }
    void SetCharSetPrintOverride(int value) { m_charSetPrintOverride = value; }

    // The folder the program's files lie in, with a trailing '/' ("" for the
    // working directory).
    const std::string& ProgramFolder() const { return m_programFolder; }
    void SetProgramFolder(const std::string& folder) { m_programFolder = folder; }

    // The main form, once the window is built (none while headless).
    plat::Form* MainForm() const { return m_mainForm; }

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
    // The clone-file header check of model and sub code (error 3 or 4).
    virtual bool CheckModelCode(int model, int sub, int* error);
    // A new address range list {range, terminator} for the purpose.
    virtual std::vector<dst_AdrRange> AddressRanges(int purpose);
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

    // What the clone commands need of the document and the windows. The
    // bodies here are what the main object can do without them.
    //   CloneAskSaveChanges: offer to save unsaved changes; 6, 7 or 2 (Yes,
    //     No, Cancel). Here: 6.
    //   CloneCloseSheet: close the current sheet. Here: it is forgotten.
    //   CloneCheckListErrors: run the warning check list; the number of
    //     errors. Here: 0.
    //   CloneCheckImage: the checks of a read image; 0, 15, 16 or 18. Here:
    //     the header check with its markers.
    //   CloneImageLoaded: unpack and normalise the new current image. Here:
    //     nothing.
    //   CloneShowInformationDialog: the information dialog of the sheet
    //     "GI_Sheet_CloneInfo". Here: nothing (no window to show it in).
    virtual int CloneAskSaveChanges();
    virtual void CloneCloseSheet();
    virtual int CloneCheckListErrors();
    virtual int CloneCheckImage(const cmcEeprom& image);
    virtual void CloneImageLoaded(cmcEeprom& image);
    virtual void CloneShowInformationDialog();
    // ==== end of the clone commands ====

protected:
    int m_modelCode = 0;
    int m_subCode = 0;
    int m_secondModelCode = 0;
    bool m_variant = false;
    bool m_identified = false;
    plat::Form* m_mainForm = nullptr;

private:
    std::string m_baseName;
    int m_imageSize;
    std::string m_folder;
    std::string m_fileName;
    bool m_modified = false;
    std::string m_title;
    int m_makerMode = 0;
    int m_customerMode = 0;
    std::unique_ptr<cmcTick> m_checkDelay;
    std::array<uint8_t, 4> m_identityBytes{};
    std::array<uint8_t, IdentityPayloadSize> m_identityPayload{};
    cuiSheet* m_currentSheet = nullptr;
    std::string m_currentSheetKey;
    int m_charSetPrintOverride = 0;
    std::string m_programFolder;
    cmcEeprom m_current;
    cmcEeprom m_initial;
    cmcEeprom m_saved;
    std::unique_ptr<cmcFCache> m_valueLabels;

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
