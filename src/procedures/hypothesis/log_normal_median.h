// Tests of the median of a log-normal variable, or of the ratio of two
// medians, on the natural-log scale: the z test with the shape (the standard
// deviation of the log) known, and, through the shared part below, the t test
// with the shape estimated.
#pragma once

#include <array>
#include <cstdint>

#include "procedures/observation_simulator.h"
#include "procedures/procedure_module.h"

namespace pelmora {

// What the z and t tests of log-normal medians share: the list from the
// medians through the sample sizes, the estimate on the log scale, the checks
// and the search interval.
class LogMedianTest : public ProcedureModule {
 public:
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;

  // Catalogue ids of the medians, limits and sample sizes both tests list.
  struct MedianIds {
    static constexpr std::int16_t H0Median = 89, Median = 90, MedianMinusH0 = 91, MedianOverH0 = 92;
    static constexpr std::int16_t H0Ratio = 93, Median1 = 94, Median2 = 95, Ratio = 96;
    static constexpr std::int16_t SampleSize = 14, SampleSize1 = 4, SampleSize2 = 37,
                                  SampleSize2MinusSize1 = 38, SampleSize2OverSize1 = 5;
    static constexpr std::int16_t LeftLimit = 97, RightLimit = 98;
  };

 protected:
  // The shapes a test lists: `single` for one sample and for one shape
  // common to two samples; `first` and `second` (value, difference, ratio)
  // when each sample has its own.
  struct ShapeIds {
    std::int16_t single;
    std::int16_t first;
    std::array<std::int16_t, 3> second;
  };
  // Copies the forms of the offered rows and writes the list from position 2
  // through the sample sizes; returns the next free position.
  int ListParameters(Session& s, const ShapeIds& ids, bool separateShapes);
  // ln of the assumed median (two samples: of the ratio) and of the null value.
  void LogEstimate(const Session& s, Single& estimate, Single& null) const;
  // ln of the equivalence limits; 0 unless the tests are two one-sided.
  void LogLimits(const Session& s, Single& left, Single& right) const;
  // The shapes (one shape: shape2 = shape1) and sample sizes (one sample: n2 = 0).
  void ShapesAndSizes(const Session& s, Single& shape1, Single& shape2, Single& n1, Single& n2) const;
  // The simulated samples of log-normal observations, drawn as their
  // logarithms: normal with the log of the assumed median (two samples: the
  // first sample's, 0 where only the ratio is entered, and the second's the
  // first plus the log of the assumed ratio) and the shape as the standard
  // deviation, the whole sizes.  Under H0 the null median or ratio, or for
  // two one-sided tests the equivalence limit nearer to the assumed value.
  // `pValue` is the module's test of the observed logarithms.
  std::unique_ptr<StudySimulator> MakeLogSimulator(const Session& s, const SimulationPlan& plan,
                                                   ObservationsPValue pValue, std::string& why) const;

  // Flags copied from the options and forms by ListParameters.
  bool twoSamples_ = false;
  bool separateShapes_ = false;
  std::int16_t tails_ = 2;
  std::int16_t medianMode_ = 0;
  std::int16_t shape2Mode_ = 0;
  std::int16_t size2Mode_ = 0;
  std::int16_t shape2Id_ = 0;  // the second shape as a value, whose limits bound its other forms
  // Positions of the listed quantities; -1 where the list has none.
  int h0_ = -1, left_ = -1, right_ = -1;
  int estimate_ = -1;  // one sample: the median; two samples in median mode 1: the ratio
  int median1_ = -1, median2_ = -1;
  int shape_ = -1, shape2_ = -1;
  int n1_ = -1, n2_ = -1;

 private:
  // The assumed median (two samples: the ratio) on its own scale.
  Single AssumedValue(const Session& s) const;
};

class LogNormalMedian : public LogMedianTest {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  double EvaluateCriterion(const Session& s) override;
  // The log statistic normal with unit variance around (ln estimate - ln
  // H0) / se.
  std::optional<double> EvaluatePower(const Session& s) override;
  // The z test of the logarithms with the shapes known.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;

  // Catalogue ids of the parameters this module lists.
  struct Ids : MedianIds {
    static constexpr std::int16_t Shape = 27, Shape1 = 50, Shape2 = 54, Shape2MinusShape1 = 107,
                                  Shape2OverShape1 = 108;
  };

 private:
  // The standard error of the log estimate.
  Single StandardError(const Session& s) const;
};

}  // namespace pelmora
