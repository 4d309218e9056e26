#pragma once
// The sheet spec: the one-line text by which tree nodes, check-list cells,
// print lists and windows name a sheet: an optional class in square
// brackets, the sheet key and, after a comma, a code that parameterises the
// sheet.
//
//   "[St_ChBank]GI_Sheet_Mch_Lmr,Bank 3"  class St_ChBank, code "Bank 3"
//   "GI_Sheet_RptSetWin,R 9,2"            no class, code "R 9,2"
#include <string>
#include <string_view>

struct SheetSpecParts {
    std::string Class; // between the '[' and the first ']' after it; "" without
    std::string Key;   // the sheet's overlay key
    std::string Code;  // everything after the first ','; "" without one
};

// Splits a spec: the head is the text before the first ',' (the whole text
// without one). When the head holds a '[' and a ']' after it, the class lies
// between them and the key follows the ']' (text before the '[' is dropped);
// otherwise the class is empty and the key is the whole head.
SheetSpecParts SplitSheetSpec(std::string_view spec);
