// The planning criterion of a group-sequential design.  The design's power is
// the probability that the group-sequential test crosses an efficacy bound
// under the drift that the test's own fixed-design power implies at the
// maximum size,
//     theta = z(1 - a) + z(fixed power),  a = alpha (one tail), alpha / 2 (two),
// and the criterion is that power minus the requested one.  For a statistic
// normal in the square root of the size this is the rule maximum = R x fixed
// size; for others (a t statistic) it differs from it by far less than 0.1%.
//
// Since the sequential power rises with theta, and theta with the fixed power,
// a requested sequential power p stands for one fixed power, Phi(theta*(p) -
// z(1 - a)) with theta*(p) the drift of power p: a solve whose unknown is
// neither the level nor the requested power compares the fixed power with it
// (same root, same sign, no recursion per step).  The designs and those
// equivalent powers are kept in a small per-thread cache keyed by the plan.
#pragma once

#include <optional>

#include "numeric/group_sequential.h"

namespace pelmora {

struct Session;

// The design of the session's plan (cached; nothing when the plan is bad or
// the session plans no sequential design).  The pointer stays valid until the
// next call on this thread.
const SequentialDesign* SequentialDesignOf(const Session& s);

// The drift that a fixed-design power implies: z(1 - a) + z(power).
double DriftOfFixedPower(const SequentialPlan& plan, double fixedPower);

// The sequential power at the fixed power of the current values.
std::optional<double> SequentialPowerOf(const Session& s, double fixedPower);

// The fixed power that stands for the requested sequential power.
std::optional<double> EquivalentFixedPower(const Session& s);

// The criterion at the fixed power of the current values (not a number where
// the design or the drift cannot be found).
double SequentialCriterion(const Session& s, double fixedPower);

}  // namespace pelmora
