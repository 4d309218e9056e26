#pragma once
// A radio's memory filled as a technician fills it, for the tests that walk
// every page of the running program: 512 channels spread over the 128 banks
// with every trunking type the model offers, and the growing lists (tone
// list, NAC channels, the ID and talk-group lists, the repeaters of the
// trunked banks, the multisite sites and their repeaters) filled to their
// sizes, as far as the clone memory holds them (the ZEPH and multisite ID
// and talk-group lists are shortened alike until the packed image fits),
// and on a PMR radio the MSK ID groups each at an address of its own.
// Every value is one the program offers, so no cell shows an error.
#include <vector>

namespace apptest {

// How the banks of a full image are used, in bank order (bank b has type
// BankTypes(modelType)[b % size]).
enum class BankType { Conventional, SmarTrunk, Ltr, Zeph, VoteZone, Multisite };
std::vector<BankType> BankTypes(int modelType);

// Fills the main object's current image (a model of the given type, just
// made by File > New) through the working-table accessors and the item
// codec, as the program's own sheets store what a person enters.
void FillFullImage(int modelType);

}  // namespace apptest
