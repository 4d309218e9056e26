#pragma once
// The program's clipboard for list rows. It holds decoded items, not bytes:
// copying unpacks items of one kind into records, pasting packs them back at
// another index of the same kind, so every table an item spreads over is
// carried along. It lives in memory only and has nothing to do with the
// desktop's clipboard.
#include "model/datCh.h"

#include <vector>

class cmcEeprom;

class cmcClipCh {
public:
    // Empty: no records, kind, first index and count 0.
    cmcClipCh();
    virtual ~cmcClipCh();
    cmcClipCh(const cmcClipCh&) = delete;
    cmcClipCh& operator=(const cmcClipCh&) = delete;

    // Drops the held records; kind, first index and count become 0.
    virtual void Clear();
    // Replaces the content by the items first .. first + count - 1 of the
    // kind, whether in use or not. A count below 1 leaves the clipboard empty.
    virtual void Copy(cmcEeprom* image, int kind, int first, int count);
    // Binds the record to the image and unpacks item (kind, index) into it.
    virtual void ReadItem(cmcEeprom* image, int kind, int index, datCh& record);
    // True when the clipboard holds items of this kind (never for kind 0).
    virtual bool HoldsKind(int kind) const;
    // Writes the held items from index first on, at most count of them; only
    // onto the held kind, else nothing. The held records stay, so the same
    // rows can be pasted again.
    virtual void Paste(cmcEeprom* image, int kind, int first, int count);
    // Binds the record to the image and packs it at (kind, index).
    virtual void WriteItem(cmcEeprom* image, int kind, int index, datCh& record);

    int Kind() const { return m_kind; }
    int FirstIndex() const { return m_first; }
    int Count() const { return m_count; }
    const datCh& Record(int i) const { return m_records.at(size_t(i)); }

private:
    std::vector<datCh> m_records;  // the held items, in index order
    int m_kind = 0;
    int m_first = 0;
    int m_count = 0;
};
