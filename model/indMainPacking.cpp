// The main object's packing of the working tables into the clone memory.
//
// WAITING FOR THE PACKER: the packer itself (the table list, the directory
// in both forms, the end marker, the budget and the overflow answer) is
// being built as the free functions of model/Packing. Until it is joined
// here, these members leave the clone memory as it is and answer 0 (it
// fitted); every caller already calls them where a pack belongs.
#include "model/indMain.h"

int indMain::Static2Dynamic(cmcEeprom& /*image*/, bool /*forRadio*/, bool /*withBudget*/, bool /*legacy16*/)
{
    return 0;
}

int indMain::PackWithLayoutFlag(cmcEeprom& image, bool forRadio, bool withBudget, bool legacy16)
{
    return Static2Dynamic(image, forRadio, withBudget, legacy16);
}

int indMain::PackNewLayout(cmcEeprom& image, bool forRadio, bool withBudget)
{
    return PackWithLayoutFlag(image, forRadio, withBudget, false);
}

int indMain::Pack(cmcEeprom& image)
{
    return PackNewLayout(image, false, false);
}

int indMain::PackPlain(cmcEeprom& image)
{
    return Static2Dynamic(image, false, false, false);
}
