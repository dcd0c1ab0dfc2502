// The Monte Carlo simulation of a planned study: the selected procedure's
// simulator (ProcedureModule::MakeSimulator) run through the deterministic
// block runner, once with the assumed values (the simulated power) and once
// under the null hypothesis (the actual significance level), at the design's
// whole sizes, with its interim looks and their nominal boundaries where it
// has them.
//
// The looks.  A design with interim analyses (InterimCount > 0) is the
// group-sequential design of the session's planning settings; each look
// rejects where the P-value of the data accumulated by then is at most the
// look's nominal P-value boundary, and stops for futility where it is at
// least the P-value of the futility bound (two-sided: of |z| below it).  A
// study stops at the first crossing.  Without interims the one analysis
// rejects at P <= alpha.
//
// The numbers.  The run under H1 draws from lane 0 of the seed, the run
// under H0 from lane 1, block by block, so that the result is the same for
// any number of threads.  Proportions come with their Wilson 95% intervals.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/dispatch.h"
#include "numeric/proportion_interval.h"
#include "numeric/simulated_data.h"
#include "procedures/study_simulator.h"
#include "session/planning_settings.h"

namespace pelmora {

inline constexpr std::int64_t kMinSimulatedStudies = 100;
inline constexpr std::int64_t kMaxSimulatedStudies = 10000000;
inline constexpr double kMaxSimulatedDropout = 0.9;
inline constexpr int kPValueBins = 20;

struct SimulationRequest {
  std::int64_t studies = 10000;
  // Stop once the power's 95% interval is narrower than +/- this (the number
  // of studies then is at most kMaxSimulatedStudies).
  std::optional<double> halfWidth;
  std::uint64_t seed = 1;
  int threads = 0;  // < 1: as many as the machine has cores
  DataModel data = DataModel::kNormal;
  double dropout = 0;
};

// "" for a request in range, else why not.
std::string CheckSimulationRequest(const SimulationRequest& r);

// The request a Monte Carlo window's settings make (its studies or the
// half-width that decides them, seed, data model, and the expected dropout),
// or why they make none: a text that is no whole number or no number, or a
// value out of range.
std::optional<SimulationRequest> SimulationRequestOf(const PlanningSettings& p, std::string& why);

// Whether the selected procedure's simulator draws its observations from the
// chosen data model (continuous data), at the session's values as they stand.
bool SimulatesDataModel(Dispatcher& d);

// What the studies of one hypothesis did.
struct SimulationCounts {
  std::int64_t studies = 0;
  std::int64_t rejections = 0;
  std::array<std::int64_t, kMaxLooks> rejectAt{}, futilityAt{};
  double recruited = 0;  // summed over the studies, at the look each stopped
  std::array<std::int64_t, kPValueBins> pValues{};  // the P-values of the last analysis of each study
  std::int64_t covered = 0, narrow = 0;
  void Add(const SimulationCounts& other);
};

struct SimulatedLook {
  std::vector<std::int64_t> sizes;  // recruited per group
  double efficacyP = 0;
  std::optional<double> futilityP;
  double rejectH1 = 0, futilityH1 = 0, rejectH0 = 0, futilityH0 = 0;  // shares of the studies
};

struct SimulationResult {
  SimulationRequest request;
  bool interval = false;
  std::int64_t studiesPlanned = 0;
  bool cancelled = false;
  SimulationCounts h1, h0;
  std::optional<ProportionInterval> power, level;
  std::optional<double> analyticPower;
  double nominalLevel = 0;
  std::vector<SimulatedLook> looks;
  double expectedTotalH1 = 0, expectedTotalH0 = 0;
  std::optional<double> analyticTotalH1, analyticTotalH0;
  std::optional<ProportionInterval> coverage, widthBelow;
  double seconds = 0;
};

// How far a simulation has come: the studies done of both runs and their
// planned number, and of the run under way (under H1, then under H0) its
// studies and those that rejected (intervals: that covered the true value).
struct SimulationProgress {
  std::int64_t done = 0, planned = 0;
  bool interval = false, underH0 = false;
  std::int64_t studies = 0, hits = 0;
};

struct SimulationOutcome {
  std::optional<SimulationResult> result;
  std::string error;  // why there is no result
};

// Simulates the current design of the dispatcher's session (its values as
// they stand, an unknown already solved).  `progress` is told how far it has
// come, on the calling thread.
SimulationOutcome RunSimulation(Dispatcher& d, const SimulationRequest& r, const std::atomic<bool>& cancel,
                                const std::function<void(const SimulationProgress&)>& progress = {});

// "The simulation agrees with the calculation" where the simulated power
// lies within three standard errors of the analytic one, else how far it is.
std::string SimulationVerdict(const SimulationResult& r);

}  // namespace pelmora
