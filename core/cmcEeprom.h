#pragma once
// A byte image of a given size with checked access.
#include <cstdint>
#include <vector>

class cmcEeprom {
public:
    cmcEeprom() = default;
    ~cmcEeprom() = default;
    cmcEeprom(const cmcEeprom&) = default;
    cmcEeprom& operator=(const cmcEeprom&) = default;

    // Reallocates when the size changes (0 or less: empty) and zero-fills.
    void Resize(int size);
    int Size() const { return static_cast<int>(m_bytes.size()); }
    bool IsValid(int address) const { return address >= 0 && address < Size(); }
    void Fill(uint8_t value);
    // Single bytes outside the image are fatal.
    void SetByte(int address, int value);
    int GetByte(int address) const;
    // Copy only when the whole block lies inside the image and length > 0;
    // otherwise nothing happens.
    void WriteBlock(int address, const void* source, int length);
    void ReadBlock(int address, void* destination, int length) const;
    void Assign(const cmcEeprom& other) { m_bytes = other.m_bytes; }
    bool Equals(const cmcEeprom& other) const { return m_bytes == other.m_bytes; }
    bool Differs(const cmcEeprom& other) const { return !Equals(other); }

    // Direct access for bulk work (size bytes, or null when empty).
    uint8_t* Data() { return m_bytes.empty() ? nullptr : m_bytes.data(); }
    const uint8_t* Data() const { return m_bytes.empty() ? nullptr : m_bytes.data(); }

private:
    bool BlockFits(int address, int length) const
    {
        return address >= 0 && address < Size() && length > 0 && static_cast<int64_t>(address) + length <= Size();
    }
    std::vector<uint8_t> m_bytes;
};
