// Value checks and search-interval helpers shared by the procedure modules.
//
// A check shows its own message and returns false when a value is not
// acceptable; its caller stops without a second message.  A search helper
// narrows the interval [lower, upper] that the root search explores for the
// unknown, and only when the unknown is one of the positions it concerns; an
// interval left with lower >= upper means that no value can be calculated.
// Positions are indices into the parameter list of the session.
#pragma once

#include <cstdint>

#include "session/session.h"

namespace pelmora {

// The single-precision constant 2.00001 widened to double: the smallest
// sample size a search may reach.
inline constexpr double kMinSampleSize = static_cast<double>(2.00001f);

// value(p) within [lo, hi]; bounds at or beyond -99999 / 99999 are absent.
bool CheckValueRange(Session& s, int p, double lo, double hi);
// value(p) between its own lower limit and value(q).
bool CheckNotAbove(Session& s, int p, int q);
// CheckNotAbove(p - 1, p).
bool CheckOrderedPair(Session& s, int p);
// The quantity at q, entered in form mode relative to the base at p, stands for
// an absolute value within [lo, hi].
bool CheckRelativeValue(Session& s, int p, int q, double lo, double hi, std::int16_t mode);
// Sample sizes at p, p+1 (form ValueMode) within the population sizes at p+2,
// p+3 (form mode2).
bool CheckSizesWithinPopulations(Session& s, int p, std::int16_t mode2);

void LimitByNeighbour(const Session& s, int p, double& lower, double& upper);
void RelativeSearchInterval(const Session& s, double& lower, double& upper, int p, double lo, double hi,
                            std::int16_t mode);
void RelativeSearchIntervalTailed(const Session& s, double& lower, double& upper, int p, double lo, double hi,
                                  std::int16_t mode);
void LowerBoundBaseSize(const Session& s, int p, double& lower);
void LowerBoundRelativeSize(const Session& s, int p, double& lower);
void NarrowByTail(const Session& s, double& lower, double& upper, double x);
void NarrowByTailReversed(const Session& s, double& lower, double& upper, double x);
void SampleSizeSearchInterval(const Session& s, int p, double& lower, double& upper, std::int16_t mode2);
void RatioSearchInterval(const Session& s, double& lower, double& upper, double x, int p, std::int16_t mode);
void MeanPairSearchInterval(const Session& s, double& lower, double& upper, double x, int p, double lo,
                            double hi, std::int16_t mode);
void ScaleSearchInterval(const Session& s, double& lower, double& upper, int p, std::int16_t mode);

}  // namespace pelmora
