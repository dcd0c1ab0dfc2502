// The paragraph a planner pastes into a study protocol: one or two
// sentences, in the program's own words, that state a solved design.
//
// A test: the sample sizes (whole where a size was solved, per group and in
// all), the power at them and what it detects (the assumed values, the
// standardised effect) or, not planned by power, the assumed result it makes
// just significant, the test, its sidedness and significance level; then the
// sizes to recruit for an expected dropout and the interim analyses, where
// there are any.  An estimate or an interval: the sample sizes, the
// confidence (or error) level, what is estimated and its precision, and the
// assumed values.
#pragma once

#include <string>

namespace pelmora {

class Session;

// Empty when the session holds no solved value.
std::string ProtocolStatement(const Session& s);

}  // namespace pelmora
