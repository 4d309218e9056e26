#pragma once
// The model's sheet classes in the main object's sheet factory: the bank
// channel sheet for the class "[St_ChBank]", the common sheet for
// "[St_Common]", the list sheet for a spec whose code begins with a list
// letter.
class cuiMain;

void InstallModelSheetMakers(cuiMain& main);
