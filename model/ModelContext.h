#pragma once
// What the data layer of the model needs to know about the running program:
// the main object's current working image and its initial image, the group
// shown by the open list
// sheet, the model type's channel record kind and the priority-removal
// option. The main object fills it in when it starts; tests set it directly.
#include <functional>

class cmcEeprom;

struct ModelContext {
    // The current working image; null until the main object has one. The
    // accessors without an image argument read 0 and write nothing then.
    cmcEeprom* CurrentImage = nullptr;
    // The initial image the defaults come from (cleared rows, the slot a
    // list shift frees); null until the main object has loaded it.
    cmcEeprom* InitialImage = nullptr;
    // The origin index of the open list sheet (a query of event 54); empty
    // means nobody answers, which reads as 0.
    std::function<int()> CurrentListRow;
    // The channel record kind of the environment's model type (1 LMR, 2 PMR);
    // empty reads as 1.
    std::function<int()> MchRecordKind;
    // The environment's priority-removal option; empty reads as on, the
    // option's fixed value.
    std::function<bool()> PriorityRemoval;
};

// The one context of the program.
ModelContext& CurrentModelContext();

// Replaces the context for the lifetime of the guard and restores the
// previous one afterwards (tests, and the main object's own lifetime).
class ScopedModelContext {
public:
    explicit ScopedModelContext(ModelContext context);
    ~ScopedModelContext();
    ScopedModelContext(const ScopedModelContext&) = delete;
    ScopedModelContext& operator=(const ScopedModelContext&) = delete;

private:
    ModelContext m_previous;
};
