#pragma once
// Bounds-checked big-endian access to the bytes of an image. Reads outside
// the image give 0 and writes outside it do nothing, so that a damaged or
// short image can never make the data layer touch foreign memory.
#include "core/cmcEeprom.h"

#include <cstdint>

class ImageBytes {
public:
    ImageBytes() = default;
    explicit ImageBytes(cmcEeprom* image) : m_data(image ? image->Data() : nullptr), m_size(image ? image->Size() : 0) {}
    // For reading only: a view made from a const image must not be written.
    explicit ImageBytes(const cmcEeprom& image)
        : m_data(const_cast<uint8_t*>(image.Data())), m_size(image.Size()) {}

    int Size() const { return m_size; }
    bool Fits(int64_t offset, int64_t length) const
    {
        return m_data && offset >= 0 && length >= 0 && offset + length <= m_size;
    }

    int U8(int64_t at) const { return Fits(at, 1) ? m_data[at] : 0; }
    int U16(int64_t at) const { return (U8(at) << 8) | U8(at + 1); }
    uint32_t U32(int64_t at) const
    {
        return (uint32_t(U8(at)) << 24) | (uint32_t(U8(at + 1)) << 16) | (uint32_t(U8(at + 2)) << 8) | uint32_t(U8(at + 3));
    }
    bool Bit(int64_t at, int bit) const { return (U8(at) >> bit) & 1; }
    // The field of `width` bits whose lowest bit is `low`.
    int Bits(int64_t at, int low, int width) const { return (U8(at) >> low) & ((1 << width) - 1); }

    void SetU8(int64_t at, int value)
    {
        if (Fits(at, 1)) m_data[at] = static_cast<uint8_t>(value);
    }
    void SetU16(int64_t at, uint32_t value)
    {
        SetU8(at, int(value >> 8) & 0xFF);
        SetU8(at + 1, int(value) & 0xFF);
    }
    void SetU32(int64_t at, uint32_t value)
    {
        SetU16(at, value >> 16);
        SetU16(at + 2, value & 0xFFFF);
    }
    void SetBit(int64_t at, int bit, bool on)
    {
        const int mask = 1 << bit;
        SetU8(at, on ? (U8(at) | mask) : (U8(at) & ~mask));
    }
    void SetBits(int64_t at, int low, int width, uint32_t value)
    {
        const int mask = ((1 << width) - 1) << low;
        SetU8(at, (U8(at) & ~mask) | ((int(value) << low) & mask));
    }
    void Read(int64_t at, void* out, int length) const
    {
        auto* o = static_cast<uint8_t*>(out);
        for (int k = 0; k < length; ++k) o[k] = static_cast<uint8_t>(U8(at + k));
    }
    void Write(int64_t at, const void* in, int length)
    {
        const auto* s = static_cast<const uint8_t*>(in);
        for (int k = 0; k < length; ++k) SetU8(at + k, s[k]);
    }
    void Zero(int64_t at, int length)
    {
        for (int k = 0; k < length; ++k) SetU8(at + k, 0);
    }

private:
    uint8_t* m_data = nullptr;
    int m_size = 0;
};
