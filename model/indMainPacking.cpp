// The main object's packing of the working tables into the clone memory:
// the packer of model/Packing on the image it is given.
#include "model/Packing.h"
#include "model/indMain.h"

int indMain::Static2Dynamic(cmcEeprom& image, bool forRadio, bool withBudget, bool legacy16)
{
    return ::Static2Dynamic(image, forRadio, withBudget, legacy16);
}

int indMain::PackWithLayoutFlag(cmcEeprom& image, bool forRadio, bool withBudget, bool legacy16)
{
    return ::PackWithLayoutFlag(image, forRadio, withBudget, legacy16);
}

int indMain::PackNewLayout(cmcEeprom& image, bool forRadio, bool withBudget)
{
    return ::PackNewLayout(image, forRadio, withBudget);
}

int indMain::Pack(cmcEeprom& image)
{
    return ::Pack(image);
}

int indMain::PackPlain(cmcEeprom& image)
{
    return ::PackPlain(image);
}
