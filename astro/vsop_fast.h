// Fast evaluation of the complete VSOP87D Earth series.
//
// The same 2425 terms as the plain walk of TVSOP::SeriesSum, evaluated as
// structure-of-arrays tables: each term's argument P + F*tau and its cosine
// in double precision (argument reduced to [-pi/2, pi/2] and a polynomial,
// no branches, so the loop vectorises), the terms of one power of tau summed
// in long double. Terms without frequency are constants, summed once in long
// double when the tables are built. Agrees with the plain walk to about
// 1e-15 rad over 1000-3000 (argument rounding in double dominates).
#pragma once

#include "astro/vsop.h"

namespace astro::vsop87d {

// Value of one coordinate's series at tau (Julian millennia from J2000.0):
// rad for longitude and latitude, AU for the radius.
Extended FastSeriesSum(TVSOP::Slot slot, Extended tau);

// The same evaluation on the baseline x86-64 instruction set, whatever the
// processor offers. FastSeriesSum gives the same bits on every processor;
// the tests compare it with this one.
Extended BaselineSeriesSum(TVSOP::Slot slot, Extended tau);

}  // namespace astro::vsop87d
