#pragma once
// The radio model's application object: the main object of the cloning
// program (g_Main). It adds to cuiMain what is particular to this radio
// model: the working image of the model's size, the data layer's view of
// the running program (ModelContext), the packing of the working tables into
// the clone memory and the help context of a cell.
#include "ui/cuiMain.h"

#include "model/EepromMap.h"
#include "model/ModelContext.h"

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

private:
    // The data layer reads the current image, the open list sheet's group,
    // the model type's channel kind and the priority-removal option from here.
    ScopedModelContext m_context;
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
