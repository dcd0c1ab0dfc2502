// A parameter entered as the value itself, a difference to a base or a ratio
// to it, turned into the value it stands for.
#pragma once

#include <array>
#include <cstdint>

#include "numeric/platform.h"

namespace pelmora {

// mode 0: the value at position; 1: base + value; 2: base x value; any other
// mode: 0.  The result is single precision.
template <std::size_t N>
Single ResolveRelativeValue(const std::array<double, N>& values, std::int16_t position, Single base,
                            std::int16_t mode) {
  const double v = values.at(static_cast<std::size_t>(position));
  switch (mode) {
    case 0:
      return ToSingle(v);
    case 1:
      return ToSingle(static_cast<double>(base) + v);
    case 2:
      return ToSingle(static_cast<double>(base) * v);
    default:
      return 0.0f;
  }
}

}  // namespace pelmora
