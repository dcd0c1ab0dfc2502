// The choices the options dialog offers, kept in the session so that modules
// can restrict them and the dialog only shows what the session says.
#pragma once

#include "session/session.h"

namespace pelmora {

// Enables every samples, tails and procedure button and every option box; in a Monte Carlo window
// "Point Estimate" stays disabled (and "Test" replaces it if it was chosen).
void ResetOptionsDialog(Session& s);

// Each chooses the fallback if the restricted button is chosen, then disables
// the restricted one.
void DisableOneSample(Session& s);    // fallback: two samples
void DisableTwoSamples(Session& s);   // fallback: one sample
void DisableOneSided(Session& s);     // fallback: two-sided
void DisableTwoOneSided(Session& s);  // fallback: two-sided

}  // namespace pelmora
