#pragma once
// A byte buffer that grows at the end and can be consumed from the front.
#include <cstdint>

class cmcBuff {
public:
    cmcBuff();
    cmcBuff(const cmcBuff& other);
    cmcBuff& operator=(const cmcBuff& other);
    virtual ~cmcBuff();

    // Sets the length (a negative n counts as 0); growing beyond the capacity
    // reallocates, and only bytes that a reallocation adds get the fill byte.
    int SetLength(int n);
    int Length() const { return m_length; }
    int RawLength() const { return m_length; }
    int Capacity() const { return m_capacity; }
    uint8_t* Data() { return m_start; }
    const uint8_t* Data() const { return m_start; }
    // Byte i; an index outside the held bytes is fatal.
    uint8_t& At(int i);
    const uint8_t& At(int i) const;

    void Assign(const cmcBuff& other);
    void AssignBytes(const void* bytes, int n);
    void Append(const cmcBuff& other);
    void AppendBytes(const void* bytes, int n);
    void AppendByte(uint8_t b);
    void AppendChar(char c) { AppendByte(static_cast<uint8_t>(c)); }
    // Appends n copies of b (a negative n appends nothing).
    void AppendFill(uint8_t b, int n);
    void FillAll(uint8_t b);
    // Removes and returns the first byte (0 to 255), or -1 when empty.
    int PopFront();
    // Moves the held bytes into an allocation of exactly max(length, 1) bytes.
    void Compact();
    // Frees the bytes: length 0, capacity 1.
    void Clear();

private:
    void Realloc(int n);

    uint8_t* m_alloc = nullptr;
    uint8_t* m_start = nullptr;
    int m_length = 0;
    int m_capacity = 0;
    uint8_t m_fill = 0;
};
