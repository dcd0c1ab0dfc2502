// A simulator of studies whose analysis needs the individual observations,
// not only their means and variances: ranks, logarithms, pairs of a
// regression or a correlation.  Each group draws its subjects with a routine
// of its own (a subject gives one value, or a pair as two values in turn),
// recruits the design's whole sizes, lets each subject drop out with the
// expected dropout rate, and hands the data accumulated at each look to the
// module's test.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "procedures/study_simulator.h"

namespace pelmora {

// Fills the span with the values of its subjects, `width` values a subject,
// from the stream's next numbers.
using SubjectDraw = std::function<void(RandomStream&, std::span<double>)>;

struct ObservedGroup {
  SubjectDraw draw;
  std::size_t width = 1;
  double wholeSize = 0;
};

// The module's test of the observations analysed at a look: per group the
// values of its remaining subjects, `width` values each.  The routine may
// keep scratch buffers by value (each clone of the simulator has its own).
using ObservationsPValue = std::function<double(std::span<const std::span<const double>>)>;

// Nothing, with a reason in `why`, where a whole size is not from 1 to
// 100000000.  `usesDataModel`: the draws follow the plan's data model.
std::unique_ptr<StudySimulator> MakeObservationSimulator(std::vector<ObservedGroup> groups,
                                                         const SimulationPlan& plan, ObservationsPValue pValue,
                                                         bool usesDataModel, std::string& why);

// The sums of squares and products about their means of pairs (x, y) given
// in turn, two passes in the order of the pairs.
struct PairSums {
  double n = 0, sxx = 0, syy = 0, sxy = 0;
};
PairSums SumsOfPairs(std::span<const double> pairs);

// Draws of the plan's data model with the given mean and standard deviation,
// one value a subject; nothing where the model cannot take them.
std::optional<SubjectDraw> ModelDraw(DataModel model, double mean, double sd);

}  // namespace pelmora
