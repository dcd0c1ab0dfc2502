// The power curve of a Calculation window's test in one step: a Graph window
// of the power against the sample size, from half to twice the size solved
// or typed, with one curve for the assumed effect and one each for 0.75 and
// 1.25 times it.
#pragma once

#include <optional>
#include <string>

#include "engine/dispatch.h"
#include "session/session.h"

namespace pelmora {

// Whether the current selection has a power curve: a test (a test procedure
// or the kind Test of a sample distribution) that lists a sample size.
bool OffersPowerCurve(const Session& s);

// The settings of the Graph window of the power curve of the current
// selection, planned by power: the requested power (position 2) is
// calculated, the first sample size is stepped from n / 2 to 2 n in 20 steps,
// and the assumed effect takes its value times 0.75, 1 and 1.25 (a value
// form is scaled as its distance to its base, a difference as itself, a
// ratio as its distance to 1).  The other values are those of the session.
// Nothing, and the reason in `why`, when the selection has no power curve or
// the size or the effect has no value.
std::optional<WindowSettings> PowerCurveSettings(Dispatcher& d, std::string& why);

}  // namespace pelmora
