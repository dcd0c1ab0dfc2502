#include "procedures/hypothesis/standard_deviation.h"

#include "procedures/hypothesis/groups.h"
#include "session/procedure_table.h"

namespace pelmora {

StandardDeviation::StandardDeviation()
    : ScaleParameter({Ids::H0Sd,
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

bool StandardDeviation::MeanKnown(const Session& s) {
  return SelectedProcedure(s) == Procedure::NormalDistribution &&
         s.ParameterChoice == kStdDevMeanKnown;
}

}  // namespace pelmora
