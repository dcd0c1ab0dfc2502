// The z test of a normal mean with known standard deviation.  Its offered
// rows are shared by the t-test, which starts from them.
#pragma once

#include "session/session.h"

namespace pelmora {

// Offers the interchangeable-parameter rows of a test of means: "Mean*" for
// one sample with one or two tails; "Mean 2*", "Std.Deviation 2" and "Sample
// Size 2" for two samples.
void OfferMeanTestRows(Session& s);

}  // namespace pelmora
