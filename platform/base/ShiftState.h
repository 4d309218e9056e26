#pragma once
// The modifier keys and mouse buttons held during a key or mouse event.
namespace plat {

enum ShiftFlag : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6,
};

struct ShiftState {
    unsigned bits = 0;

    constexpr ShiftState() = default;
    constexpr ShiftState(unsigned flags) : bits(flags) {}
    constexpr bool Has(ShiftFlag f) const { return (bits & f) != 0; }
    // True when exactly these flags are held, nothing more.
    constexpr bool IsExactly(unsigned flags) const { return bits == flags; }
    constexpr bool operator==(const ShiftState&) const = default;
};

} // namespace plat
