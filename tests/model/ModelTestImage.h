#pragma once
// A working image installed as the main object's current image for a test.
#include "core/cmcEeprom.h"
#include "model/EepromMap.h"
#include "model/ModelContext.h"

#include <cstdint>
#include <memory>

namespace modeltest {

inline cmcEeprom MakeImage(uint8_t fill = 0)
{
    cmcEeprom image;
    image.Resize(EepromMap::ImageSize);
    image.Fill(fill);
    return image;
}

inline void Put16(cmcEeprom& image, int at, int value)
{
    image.SetByte(at, (value >> 8) & 0xFF);
    image.SetByte(at + 1, value & 0xFF);
}

inline void Put32(cmcEeprom& image, int at, uint32_t value)
{
    Put16(image, at, int(value >> 16));
    Put16(image, at + 2, int(value & 0xFFFF));
}

inline int Get16(const cmcEeprom& image, int at) { return (image.GetByte(at) << 8) | image.GetByte(at + 1); }

// The image is the current image while the object lives; listRow answers
// the open list sheet's group.
class CurrentImage {
public:
    explicit CurrentImage(uint8_t fill = 0) : image(MakeImage(fill)), m_guard(MakeContext(&image)) {}
    ModelContext& Context() { return CurrentModelContext(); }

    cmcEeprom image;
    int listRow = 0;
    bool priorityRemoval = true;

private:
    ModelContext MakeContext(cmcEeprom* current)
    {
        ModelContext c;
        c.CurrentImage = current;
        c.CurrentListRow = [this] { return listRow; };
        c.PriorityRemoval = [this] { return priorityRemoval; };
        return c;
    }
    ScopedModelContext m_guard;
};

} // namespace modeltest
