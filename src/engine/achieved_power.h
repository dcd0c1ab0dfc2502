// The achieved power of a solved test design: at the values shown, and at the
// whole sample sizes a study would recruit.
#pragma once

#include "engine/dispatch.h"
#include "session/design_power.h"

namespace pelmora {

// The power of the test at the current values (the solved unknown included)
// and, when the unknown is a sample size, at the whole sizes a study would
// recruit (see WholeSizes).  Nothing for a procedure that is no test.  The
// values are left as they were.
DesignPower PowerOfDesign(Dispatcher& d);

}  // namespace pelmora
