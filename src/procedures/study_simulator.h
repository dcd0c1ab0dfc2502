// What a procedure module offers the Monte Carlo simulation: a simulator of
// one study.  It draws the individual observations (or counts) of the
// design's groups from the assumed (starred) values, or from the values of
// the null hypothesis, recruits the design's whole sizes, lets each subject
// drop out with the expected dropout rate, and analyses the data accumulated
// at each look with the procedure's own P-value routine (its tails, options
// and corrections).  An interval procedure reports instead whether the
// interval computed from the simulated sample covers the true value and
// whether its width is below the requested one.
//
// A simulator holds copies of the values it needs and buffers of its own: it
// is used by one thread at a time, and Clone gives each worker its own.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "numeric/random_stream.h"
#include "numeric/simulated_data.h"

namespace pelmora {

// At most five interim analyses and the final one.
inline constexpr int kMaxLooks = 6;

struct SimulationPlan {
  bool underH0 = false;  // draw from the null hypothesis's values
  DataModel data = DataModel::kNormal;
  double dropout = 0;                  // each subject missing with this probability, 0 <= D <= 0.9
  std::vector<double> fractions{1.0};  // the looks' shares of the whole sizes, rising to 1
};

struct StudyOutcome {
  // The P-value of the data accumulated at each look.
  std::array<double, kMaxLooks> p{};
  // Intervals: the interval covers the true value; its width is below the
  // requested one.
  bool covered = false, narrow = false;
};

class StudySimulator {
 public:
  virtual ~StudySimulator() = default;
  virtual std::unique_ptr<StudySimulator> Clone() const = 0;
  // Tests give P-values; intervals give coverage and width.
  virtual bool IsInterval() const { return false; }
  // Whether the observations follow the chosen data model (continuous data);
  // counts, times and pairs have a model of their own.
  virtual bool UsesDataModel() const { return false; }
  // The numbers recruited per group at each look (the last: the whole sizes).
  const std::vector<std::vector<std::int64_t>>& LookSizes() const { return lookSizes_; }
  // One study, from the stream's next numbers.
  virtual void Simulate(RandomStream& stream, StudyOutcome& out) = 0;

 protected:
  std::vector<std::vector<std::int64_t>> lookSizes_;
};

// A whole number of subjects from a solved size: rounded up, a size that is
// whole but for the rounding of its solve taken as it is (as the achieved
// power rounds).
inline double WholeSize(double size) { return std::ceil(size - 1e-6 * std::max(1.0, std::fabs(size))); }

// The value the studies under H0 are drawn from: the null value, or for two
// one-sided tests the equivalence limit nearer to the assumed value.
inline double NullDrawValue(bool equivalence, double assumed, double null, double left, double right) {
  if (!equivalence) return null;
  return std::fabs(assumed - left) <= std::fabs(assumed - right) ? left : right;
}

// The sizes recruited at each look of a plan, from the whole sizes of the
// groups: the look's share rounded up (the last look the whole size), and
// with dropout the size divided by 1 - D, rounded up, so that about the
// planned number remains.
std::vector<std::vector<std::int64_t>> RecruitedLookSizes(std::span<const double> wholeSizes,
                                                          const SimulationPlan& plan);

// What a study of normal-theory groups observed up to a look: per group the
// number analysed, the mean and the variance (divisor n - 1).
struct GroupSummary {
  double n = 0, mean = 0, variance = 0;
};
using GroupsPValue = std::function<double(std::span<const GroupSummary>)>;

// Continuous observations of one or two groups under the chosen data model,
// each with its mean and standard deviation; `pValue` is the module's test
// of the summaries.  Nothing where a group's sampler cannot be made (say a
// log-normal model of a mean that is not positive).
struct ContinuousGroup {
  double mean = 0, sd = 0, wholeSize = 0;
};
std::unique_ptr<StudySimulator> MakeContinuousSimulator(std::span<const ContinuousGroup> groups,
                                                        const SimulationPlan& plan, GroupsPValue pValue,
                                                        std::string& why);

// Successes among the subjects of one or two groups, each with its
// probability; `pValue` is the module's test of the counts (successes and
// numbers analysed per group).  The P-values are kept by table, each table's
// computed once per simulator.
struct CountGroup {
  double probability = 0, wholeSize = 0;
};
using CountsPValue = std::function<double(std::span<const std::int64_t> successes,
                                          std::span<const std::int64_t> sizes)>;
std::unique_ptr<StudySimulator> MakeCountSimulator(std::span<const CountGroup> groups,
                                                   const SimulationPlan& plan, CountsPValue pValue);

// The refusal of a procedure that has no simulator.
std::string NotSimulatedMessage(const std::string& procedureName);

}  // namespace pelmora
