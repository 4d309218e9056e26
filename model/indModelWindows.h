#pragma once
// The model's windows as the main object uses them: the sheet classes that
// its sheet factory makes for a sheet spec (the bank channel sheet for
// "[St_ChBank]", the common sheet for "[St_Common]", the list sheet for a
// code that begins with a list letter) and, for as long as this object
// lives, the windows that cells open (pick lists, the read/write password
// dialog). The main object keeps one for its own lifetime.
#include "model/indPopupWindows.h"

class cuiMain;

class indModelWindows {
public:
    explicit indModelWindows(cuiMain& main);
    ~indModelWindows();
    indModelWindows(const indModelWindows&) = delete;
    indModelWindows& operator=(const indModelWindows&) = delete;

private:
    indPopupWindows m_popups;
};
