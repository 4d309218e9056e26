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
#include "core/cmcEeprom.h"
#include "core/cmcFCache.h"
#include "core/cmcTick.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class cuiSheet;
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
};
