#include "procedures/tests/test_s2.h"

#include "procedures/tests/groups.h"

namespace pelmora {

TestS2::TestS2()
    : ScaleTest({Ids::H0Sd,
                 {Ids::Sd, Ids::SdMinusH0, Ids::SdOverH0},
                 Ids::H0Ratio,
                 Ids::Ratio,
                 Ids::Sd1,
                 Ids::Sd2,
                 Ids::LeftLimit,
                 Ids::RightLimit,
                 group::StdDeviationStar,
                 group::StdDeviationRatio},
                2) {}

bool TestS2::MeanKnown(const Session& s) {
  return s.IsTestProcedure == kFalse && s.DistributionIndex == kNormalDistribution &&
         s.ParameterChoice == kStdDevMeanKnown;
}

}  // namespace pelmora
