#pragma once
// The MSK signalling address plan: the 12-bit address space 0 to 4095 split
// at the radio's own boundary ID into individual addresses below it and group
// addresses from it upwards. Built over an image for each cell operation.
#include <cstdint>

class cmcEeprom;

class datKovrAdr {
public:
    struct Range {
        int32_t First;
        int32_t Last;
        uint32_t Spare;
    };
    static constexpr int RangeCount = 46;
    static constexpr int OwnIdOffset = 181580;  // 16 bits

    // Binds the image (not owned) and loads the own ID.
    explicit datKovrAdr(cmcEeprom* image);
    ~datKovrAdr() = default;

    void LoadOwnId();
    void StoreOwnId();
    // Recomputes First and Last of every range from OwnId; Spare is kept.
    virtual void Rebuild();

    uint32_t OwnId = 0;
    Range Ranges[RangeCount] = {};
    cmcEeprom* Image = nullptr;
};
