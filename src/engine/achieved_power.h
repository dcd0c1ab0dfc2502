// The achieved power of a solved test design: at the values shown, and at the
// whole sample sizes a study would recruit.
#pragma once

#include <optional>

#include "engine/dispatch.h"
#include "session/design_power.h"

namespace pelmora {

// The power of the test at the current values (the solved unknown included)
// and, when the unknown is a sample size, at the whole sizes a study would
// recruit (see WholeSizes), with the sizes to recruit for the session's
// expected dropout.  An estimate or an interval has no power; its whole
// sizes are given only with a dropout, for the sizes to recruit.  The values
// are left as they were.
DesignPower PowerOfDesign(Dispatcher& d);

// The sample sizes listed at their current values, with the subjects in all
// (each further group of "No Of Groups" counted with the last size); none
// when the list holds no sample size.
WholeSizes ListedSampleSizes(const Session& s);

// The whole sizes at `values` of the list of `work` when its unknown is a
// sample size (as PowerOfDesign finds them, without their power); nothing
// otherwise.  `work` is a session to spare: its values are overwritten.
std::optional<WholeSizes> WholeSizesAt(Session& work, const ParameterValueArray& values);

// The expected dropout of the session as a proportion from 0 to 0.9, where
// the selection plans for one (OffersExpectedDropout); 0 otherwise and for a
// text that is no number in that range.
double ExpectedDropoutOf(const Session& s);

}  // namespace pelmora
