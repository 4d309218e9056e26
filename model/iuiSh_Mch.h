#pragma once
// The sheet of a list whose length changes while the user works: the
// repeaters of a trunking bank or of a multisite site, the tone and NAC
// lists, the ID and talk-group lists and the multisite sites; and the pick
// lists of the drop-downs whose rows come from the radio data (channels of a
// bank, banks, languages, IDs, talk groups).
//
// The sheet code is a letter, a blank and comma-separated arguments; the
// letter says which list the bare "LoopFrom" of the layout repeats, the
// second argument is the bank or site the list belongs to (kept when it is
// missing). A list sheet shows one more row than the list has items, the
// empty row where a new item is typed; a pick list shows exactly its items
// and no row at all when it has none.
//
//   letter  list                                         length
//   R       repeaters of the bank: LTR (kind 22) for an LTR bank, else
//           ZEPH (kind 27) for a ZEPH bank               items of the bank
//   M       repeaters of the site (kind 31), when the
//           site has an ID                               items of the site
//   K k     tone list (kind 7), NAC channel list (kind 20)
//   X Q     digital IDs (kind 18), digital talk groups (kind 19)
//   x q     ZEPH IDs (kind 28), ZEPH talk groups (kind 29)
//   y r     multisite IDs (kind 32), talk groups (kind 33)
//   m       multisite sites (kind 30)
//   pick lists: C channels of the bank last picked in a zone picker, B banks
//   that are not vote zones, G and g banks of group 1 and 0, T banks that
//   hold channels, Y languages, Z digital IDs, W digital talk groups.
//
// Inserted and deleted items reach an open list sheet as events 55 and 57
// (56 and 58 for the sites): one grid row more or less, never a rebuild.
#include "core/cmcEvMan.h"
#include "model/iuiSh_ListRows.h"

class iuiSh_Mch : public iuiSh_ListRows {
public:
    // A sheet opened by a cell (drop-downs, the repeater window) belongs to
    // the group of that cell's index, unless lists are being printed.
    iuiSh_Mch(plat::Container* parent, const cmcCellCapsule* origin, int focusLabel, int focusIndex, cmcGTex* texts,
              const std::string& key, plat::ImageList* images);
    ~iuiSh_Mch() override;

    // Stores the code and takes the list's length and first item from the
    // radio data (before the sheet is shown).
    const std::string& SetCode(const std::string& code) override;
    // "Only_Print" n leaves the next n lines out unless lists are printed;
    // a bare "LoopFrom" repeats the loop row over the list.
    void ApplyDirective(std::string_view item) override;
    void BuildCells(const std::string& cellsKey) override;
    // The repeater windows' lists: the site and its number; the ID, talk
    // group and site lists: the sheet's own title; every other list none.
    std::string Title() const override;
    bool IsPrintable() const override;

    void OnEvent(const dst_Event* event);

    char Letter() const { return m_letter; }
    int ListLength() const { return m_listLength; }
    int Group() const { return m_group; }
    // The item kind of the list (0 for pick lists and a bank of neither
    // trunking type).
    int ListKind() const { return m_kind; }

private:
    // The rows of the loop on screen for a pick list letter; nullopt for a
    // letter that is no pick list.
    std::optional<int> PickListCount() const;
    void RefreshTitle();
    // The word before the group number in the titles: a bank's repeater
    // list (letter R) names a bank, the others a site.
    std::string GroupWord() const;
    void AddRows(intptr_t p1);
    void RemoveRows(intptr_t p1);

    int m_bankAnswer = 0;
    int m_listLength = 0;
    int m_group = 0;
    char m_letter = 0;
    int m_kind = 0;
    cmcEvSubscription m_events;
};
