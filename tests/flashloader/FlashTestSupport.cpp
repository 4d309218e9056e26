#include "tests/flashloader/FlashTestSupport.h"

#include "flashloader/FlashData.h"

#include <cstdlib>
#include <string>

namespace flashtest {

std::vector<uint8_t> EmbeddedImage()
{
    std::vector<uint8_t> image(0x80000, 0xFF);
    for (int i = 0; fl::g_MotLines[i][0] != '\0'; ++i) {
        std::string line = fl::g_MotLines[i];
        if (line[1] != '1' && line[1] != '2') continue;
        std::vector<uint8_t> bytes;
        for (size_t k = 2; k + 1 < line.size(); k += 2)
            bytes.push_back(static_cast<uint8_t>(std::stoul(line.substr(k, 2), nullptr, 16)));
        const size_t addressBytes = line[1] == '1' ? 2 : 3;
        uint32_t address = 0;
        for (size_t k = 1; k <= addressBytes; ++k) address = address << 8 | bytes[k];
        for (size_t k = 1 + addressBytes; k + 1 < bytes.size(); ++k) image.at(address++) = bytes[k];
    }
    return image;
}

} // namespace flashtest
