#include "core/cmcEeprom.h"

#include "platform/base/Fatal.h"

#include <algorithm>
#include <cstring>

void cmcEeprom::Resize(int size)
{
    if (size <= 0) {
        m_bytes.clear();
        m_bytes.shrink_to_fit();
        return;
    }
    if (size != Size()) {
        m_bytes.assign(static_cast<size_t>(size), 0);
        m_bytes.shrink_to_fit();
    } else {
        std::fill(m_bytes.begin(), m_bytes.end(), 0);
    }
}

void cmcEeprom::Fill(uint8_t value) { std::fill(m_bytes.begin(), m_bytes.end(), value); }

void cmcEeprom::SetByte(int address, int value)
{
    if (!IsValid(address)) plat::Fatal("Out of EEPROM image address (SetByte).");
    m_bytes[static_cast<size_t>(address)] = static_cast<uint8_t>(value);
}

int cmcEeprom::GetByte(int address) const
{
    if (!IsValid(address)) plat::Fatal("Out of EEPROM image address (GetByte).");
    return m_bytes[static_cast<size_t>(address)];
}

void cmcEeprom::WriteBlock(int address, const void* source, int length)
{
    if (!BlockFits(address, length)) return;
    std::memmove(m_bytes.data() + address, source, static_cast<size_t>(length));
}

void cmcEeprom::ReadBlock(int address, void* destination, int length) const
{
    if (!BlockFits(address, length)) return;
    std::memmove(destination, m_bytes.data() + address, static_cast<size_t>(length));
}
