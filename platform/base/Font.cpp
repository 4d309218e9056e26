#include "platform/base/Font.h"

#include <cstdint>
#include <limits>

namespace plat {

namespace {

// a x b / c rounded to the nearest integer (halves away from zero), without
// intermediate overflow; 0 when c is 0, and clamped to +-INT_MAX so that
// the result can always be negated.
int MulDiv(int a, int b, int c)
{
    if (c == 0) return 0;
    int64_t num = static_cast<int64_t>(a) * b;
    int64_t den = c;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    int64_t q = num >= 0 ? (num + den / 2) / den : -((-num + den / 2) / den);
    if (q > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (q < -std::numeric_limits<int>::max()) return -std::numeric_limits<int>::max();
    return static_cast<int>(q);
}

} // namespace

int Font::Size() const { return -MulDiv(height, 72, pixelsPerInch); }

void Font::SetSize(int points) { height = -MulDiv(points, pixelsPerInch, 72); }

} // namespace plat
