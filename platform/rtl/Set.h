#pragma once

#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace Platform {

// A set of up to 32 values of an enumeration, the way the class library's "set of" types work:
// one bit per value, value semantics, cheap to pass by value.
template <typename E> class TSet {
  static_assert(std::is_enum_v<E>, "a set holds values of an enumeration");

public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> values) {
    for (E v : values)
      FBits |= Bit(v);
  }

  constexpr bool Contains(E v) const { return (FBits & Bit(v)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr TSet &Include(E v) {
    FBits |= Bit(v);
    return *this;
  }
  constexpr TSet &Exclude(E v) {
    FBits &= ~Bit(v);
    return *this;
  }
  // Includes or excludes v.
  constexpr TSet &Set(E v, bool present) { return present ? Include(v) : Exclude(v); }
  constexpr std::uint32_t Bits() const { return FBits; }

  // Union, difference and intersection, as + - * on the class library's sets.
  friend constexpr TSet operator+(TSet a, TSet b) { return FromBits(a.FBits | b.FBits); }
  friend constexpr TSet operator-(TSet a, TSet b) { return FromBits(a.FBits & ~b.FBits); }
  friend constexpr TSet operator*(TSet a, TSet b) { return FromBits(a.FBits & b.FBits); }
  friend constexpr bool operator==(TSet, TSet) = default;

private:
  static constexpr std::uint32_t Bit(E v) { return std::uint32_t{1} << (static_cast<unsigned>(v) & 31u); }
  static constexpr TSet FromBits(std::uint32_t bits) {
    TSet s;
    s.FBits = bits;
    return s;
  }
  std::uint32_t FBits = 0;
};

} // namespace Platform
