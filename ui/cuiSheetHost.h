#pragma once
// What a sheet asks of the program around it: the flags of the main object
// and of the model that layout conditions and mouse handling read. The main
// object fills them in when it starts; tests set them directly. An entry
// that is not set answers as noted beside it.
#include <functional>

struct cuiSheetHost {
    // The customer-specific mode of the main object (unset: off).
    std::function<bool()> CustomerMode;
    // The model's channel records are of the PMR / LMR kind (unset: from the
    // model context's channel record kind, 2 PMR, anything else LMR).
    std::function<bool()> IsPmrModel;
    std::function<bool()> IsLmrModel;
    // The bank last picked in the emergency-divert zone picker (unset: 0).
    std::function<int()> PickerBank;
    // A list-row deletion is sending its delete events (unset: no).
    std::function<bool()> RowDeleteRunning;
    // The main object's list-print flag: a list of sheets is being printed
    // (unset: no).
    std::function<bool()> ListPrinting;
    // The main object's application-inactive flag: set while the program is
    // deactivated, read and cleared by a right click (unset: never set).
    std::function<bool()> ApplicationInactive;
    std::function<void()> ClearApplicationInactive;
};

// The one host of the program.
cuiSheetHost& CurrentSheetHost();

// Answers of the host, with the defaults above for unset entries.
namespace sheethost {
bool CustomerMode();
bool IsPmrModel();
bool IsLmrModel();
int PickerBank();
bool RowDeleteRunning();
bool ListPrinting();
bool ApplicationInactive();
void ClearApplicationInactive();
// Bit `bit` of a byte of the current working image (false without an image
// or outside it).
bool ImageBit(int address, int bit);
} // namespace sheethost

// Replaces the host for the lifetime of the guard (tests, and the main
// object's own lifetime).
class ScopedSheetHost {
public:
    explicit ScopedSheetHost(cuiSheetHost host);
    ~ScopedSheetHost();
    ScopedSheetHost(const ScopedSheetHost&) = delete;
    ScopedSheetHost& operator=(const ScopedSheetHost&) = delete;

private:
    cuiSheetHost m_previous;
};
