#pragma once
// What the data layer of the model needs to know about the running program:
// the main object's current working image, the group shown by the open list
// sheet, the model type's channel record kind, the environment's fixed
// options, the initial image and what the last identification told. The main
// object fills it in when it starts; tests set it directly.
#include <cstdint>
#include <functional>

class cmcEeprom;

struct ModelContext {
    // The current working image; null until the main object has one. The
    // accessors without an image argument read 0 and write nothing then.
    cmcEeprom* CurrentImage = nullptr;
    // The main object's initial image: the defaults of the model type, loaded
    // from the initial clone file and unpacked (normalisation, cleared rows,
    // the slot a list shift frees); null until it is loaded.
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
    // The environment's rotary-limit option (empty: on) and key-C removal
    // option (empty: off), their fixed values.
    std::function<bool()> RotaryLimit;
    std::function<bool()> KeyCRemoval;

    // The identity payload of the last identification (127 bytes: the radio's
    // version at 34, its layout flags at 109); null before the first one,
    // when every byte reads 0.
    const uint8_t* IdentityPayload = nullptr;
    // The radio's serial number taken from the last identification; empty
    // reads as 0 (none).
    std::function<uint32_t()> SerialNumber;
    // The largest unit ID (the overlay text "GI_AppUnitIdMax"); empty reads
    // the overlay.
    std::function<int()> UnitIdMax;
};

// Identity payload positions read by the data layer.
namespace IdentityPayload {
constexpr int Size = 127;
constexpr int Version = 34;      // the radio's version
constexpr int LayoutFlags = 109; // bit 6: 32-bit addressing; bits 4-5: its kind
}  // namespace IdentityPayload

// A byte of the last identity payload; 0 before the first identification.
int IdentityPayloadByte(int position);

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

// Makes the list group the one given for the lifetime of the guard, whatever
// the open sheet shows, and lets the sheet answer again afterwards. Work on a
// group that names its group itself (loading a repeater list file into it)
// runs under this guard, so that the grouped repeater lists read and write
// the home marks of that group and of no other.
class ScopedListGroup {
public:
    explicit ScopedListGroup(int group);
    ~ScopedListGroup();
    ScopedListGroup(const ScopedListGroup&) = delete;
    ScopedListGroup& operator=(const ScopedListGroup&) = delete;

private:
    std::function<int()> m_previous;
};
