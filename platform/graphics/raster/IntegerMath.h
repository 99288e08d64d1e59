#pragma once

// Exact integer helpers the rasterizers share: their span bounds are floor and ceiling divisions
// of products that may need 128 bits, and integer square roots of such products.

#include <cmath>
#include <platform/graphics/raster/RasterOps.h>
#include <type_traits>

namespace Platform::Raster {

namespace Detail {

template <class T> T FloorDiv(T a, T b) {
  const T q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

// The floating-point root corrected to the exact value; long double holds enough of a 128-bit
// product for the correction to take a step or two.
template <class T> T ISqrt(T n) {
  if (n <= 0)
    return 0;
  using TFloat = std::conditional_t<sizeof(T) <= 8, double, long double>;
  T s = static_cast<T>(std::sqrt(static_cast<TFloat>(n)));
  while (s * s > n)
    --s;
  while ((s + 1) * (s + 1) <= n)
    ++s;
  return s;
}

} // namespace Detail

// Division rounding down and up (b > 0), for any sign of a. Plain overloads rather than one
// template, so that an int divisor converts to the dividend's width.
inline i64 FloorDiv(i64 a, i64 b) { return Detail::FloorDiv(a, b); }
inline i64 CeilDiv(i64 a, i64 b) { return -Detail::FloorDiv(-a, b); }
inline i128 FloorDiv(i128 a, i128 b) { return Detail::FloorDiv(a, b); }
inline i128 CeilDiv(i128 a, i128 b) { return -Detail::FloorDiv(-a, b); }

// floor(sqrt(n)), 0 for n <= 0; the 64-bit form for n < 2^62.
inline i64 ISqrt(i64 n) { return Detail::ISqrt(n); }
inline i128 ISqrt(i128 n) { return Detail::ISqrt(n); }

} // namespace Platform::Raster
