// The VSOP87D Earth series as constant tables (generated, see
// astro/gen_vsop87d.py). Index a coordinate's array by the power of tau,
// 0..MaxOrder; an order without a series has count 0.
#pragma once

#include <cstddef>

#include "astro/vsop.h"

namespace astro::vsop87d {

inline constexpr int MaxOrder = 5;

struct TVSOPSeries {
  const TVSOPTerm* terms;  // in published order
  std::size_t count;
};

extern const TVSOPSeries Longitude[MaxOrder + 1];  // L0..L5
extern const TVSOPSeries Latitude[MaxOrder + 1];   // B0..B4, B5 empty
extern const TVSOPSeries Radius[MaxOrder + 1];     // R0..R5

}  // namespace astro::vsop87d
