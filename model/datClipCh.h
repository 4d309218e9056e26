#pragma once
// The model's channel clipboard: decides which link attributes of a paste
// target survive the paste.
//
// Bits 3 to 5 of the attribute field describe the position and the settings
// around it (a designated-channel function switched off, the SmarTrunk and
// LTR type of the bank that holds the index): a plain paste keeps them from
// the target, so priority, designated-channel and group marks travel with the
// pasted item. PasteKeepingLinks keeps the target's whole attribute field, so
// every reference stays with its position.
#include "model/cmcClipCh.h"

class datClipCh : public cmcClipCh {
public:
    datClipCh();
    ~datClipCh() override;

    // Paste that keeps every target's whole attribute field.
    void PasteKeepingLinks(cmcEeprom* image, int kind, int first, int count);

    // Reads the target first and takes its link attributes into the held
    // record (which keeps them, so a later paste starts from the attributes
    // of the last target), then packs it.
    void WriteItem(cmcEeprom* image, int kind, int index, datCh& record) override;

private:
    bool m_keepLinks = false;
    datCh m_target;  // reads each paste target before it is overwritten
};

// The program's one clipboard, created and owned by the main object; null
// while there is none (row copy and paste then do nothing).
extern datClipCh* g_ClipCh;
