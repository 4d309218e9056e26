#pragma once
// The repeater window: the repeaters of one LTR bank (list kind 22), one ZEPH
// bank (kind 27) or one multisite site (kind 31) on a list sheet of its own,
// with OK, Cancel, Load and Save. Its edits go straight into the working
// image; it takes a copy of everything it can change when it opens, and
// Cancel (or the close box) puts that copy back after the user confirms.
// While it is open the window that opened it is disabled.
//
// The object frees itself when its window goes; whoever opens it does not
// keep it.
#include "core/cmcEvMan.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class cmcCellCapsule;
class cmcEeprom;
class cmcGTex;
class iuiSh_Mch;
namespace plat {
class Button;
class Form;
class ImageList;
class Panel;
} // namespace plat

// What the repeater window may change in the working image: the records of
// the whole list, the repeater count of every group, the groups' home
// repeater marks, the group flag (area bit) of every LTR and ZEPH bank that
// loading a repeater list file sets, and for the LTR list the bank names,
// which its sheet edits.
class RepeaterListBackup {
public:
    RepeaterListBackup(const cmcEeprom& image, int kind);

    // Whether the image still holds what the backup holds.
    bool Matches(const cmcEeprom& image) const;
    // Writes the backup back into the image.
    void Restore(cmcEeprom& image) const;

    static int ListLength(int kind);

private:
    struct Area {
        int Offset;
        int Length;
        uint8_t Mask;  // the bits of each byte that belong to the backup
        int Stride;    // the distance between the bytes of the area
    };
    std::vector<Area> m_areas;
    std::vector<uint8_t> m_bytes;
};

class iuiRptSetWin {
public:
    static constexpr int Margin = 5;

    // Builds and shows the window over the parent for the group named by the
    // originating cell's index.
    iuiRptSetWin(plat::Form* parent, const std::string& caption, cmcGTex* texts, const std::string& sheetKey,
                 plat::ImageList* images, const cmcCellCapsule& origin, int kind);
    ~iuiRptSetWin();
    iuiRptSetWin(const iuiRptSetWin&) = delete;
    iuiRptSetWin& operator=(const iuiRptSetWin&) = delete;

    // Stores the window's placement under the sheet key with the open flag.
    void SavePlacement(int open);
    // Applies a stored placement; true when there was none.
    bool RestorePlacement();
    // Whether the window may close: yes when nothing changed; otherwise the
    // user confirms, and the backup is written back.
    bool RevertChanges();
    // Stores the placement, enables the parent and lets the window go (the
    // edits stay).
    void Close();

    void OnOkClick();
    void OnCancelClick();
    void OnLoadClick();
    void OnSaveClick();
    void OnEvent(const dst_Event* event);

    plat::Form* Window() const { return m_window; }
    iuiSh_Mch* Sheet() const { return m_sheet.get(); }
    plat::Button* OkButton() const { return m_ok; }
    plat::Button* CancelButton() const { return m_cancel; }
    plat::Button* LoadButton() const { return m_load; }
    plat::Button* SaveButton() const { return m_save; }
    int Group() const { return m_group; }
    int Kind() const { return m_kind; }

    // The repeater window open now; null when none is.
    static iuiRptSetWin* Current();

private:
    int m_group = 0;
    int m_kind = 0;
    RepeaterListBackup m_backup;
    plat::Form* m_parent;
    std::string m_key;
    plat::Form* m_window = nullptr;
    plat::Panel* m_bottom = nullptr;
    plat::Panel* m_sheetPanel = nullptr;
    plat::Button* m_ok = nullptr;
    plat::Button* m_cancel = nullptr;
    plat::Button* m_load = nullptr;
    plat::Button* m_save = nullptr;
    std::unique_ptr<iuiSh_Mch> m_sheet;
    bool m_closing = false;
    cmcEvSubscription m_events;
};
