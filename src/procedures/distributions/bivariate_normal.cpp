#include "procedures/distributions/bivariate_normal.h"

#include "session/options_model.h"

namespace pelmora {

using Ids = BivariateNormalIds;

BivariateNormalDistribution::BivariateNormalDistribution(CorrelationCoefficient& correl, RegressionCoefficient& regr) : correl_(correl), regress_(regr) {}

ProcedureModule* BivariateNormalDistribution::ProcedureOf(int choice) {
  switch (choice) {
    case 0:
      return &mean_;
    case 1:
      return &sd_;
    case 2:
      return &correl_;
    case 3:
      return &regress_;
    default:
      return nullptr;
  }
}

void BivariateNormalDistribution::InitProcedure(Session& s) {
  DisableTwoSamples(s);
  // No point estimate is defined, and the ratio of the standard deviations
  // has no interval; a kind that cannot be chosen gives way to "Test", whose
  // tails are all open.
  s.dialog.procedureEnabled[1] = false;
  if (s.ParameterChoice == 1) s.dialog.procedureEnabled[2] = false;
  const int kind = s.ProcedureKind;
  if (kind < 0 || kind > 2 || !s.dialog.procedureEnabled[static_cast<std::size_t>(kind)]) {
    s.ProcedureKind = 0;
    s.dialog.tailsEnabled = {true, true, true};
  }
  if (ProcedureModule* m = ProcedureOf(s.ParameterChoice)) m->InitProcedure(s);
}

void BivariateNormalDistribution::BuildParameterList(Session& s) {
  static constexpr const char* kNames[4] = {"Mean 2 - Mean 1", "Std.Dev.2 / Std.Dev.1",
                                            "Correlation Coefficient", "Regression Coefficient"};
  const int choice = s.ParameterChoice, kind = s.ProcedureKind;
  const bool defined = s.SampleCount == 1 && (kind == 0 || (kind == 2 && choice != 1));
  listed_ = defined ? ProcedureOf(choice) : nullptr;
  if (listed_ != nullptr) {
    listed_->BuildParameterList(s);
  } else {
    // Nothing to list: P-value and Power (or their interval counterparts) only.
    for (int k = 0; k < kPositionCount; ++k)
      s.ParameterList[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(k);
    if (kind == 2) {
      s.ParameterList[0] = Ids::ConfidenceLevel;
      s.ParameterList[1] = Ids::ProbWidth;
    }
    s.LastPosition = 1;
  }
  s.ParameterChoiceName = choice >= 0 && choice < 4 ? kNames[choice] : "";
}

bool BivariateNormalDistribution::CheckParameters(Session& s) { return listed_ == nullptr || listed_->CheckParameters(s); }

void BivariateNormalDistribution::SetSearchInterval(Session& s, double& lower, double& upper) {
  if (listed_ == nullptr) {
    lower = upper;  // no criterion is defined
    return;
  }
  listed_->SetSearchInterval(s, lower, upper);
}

double BivariateNormalDistribution::EvaluateCriterion(const Session& s) {
  return listed_ == nullptr ? 0.0 : listed_->EvaluateCriterion(s);
}

std::optional<StandardisedEffect> BivariateNormalDistribution::Effect(const Session& s) const {
  return listed_ == nullptr ? std::nullopt : listed_->Effect(s);
}

std::optional<double> BivariateNormalDistribution::EvaluatePower(const Session& s) {
  return listed_ == nullptr ? std::nullopt : listed_->EvaluatePower(s);
}

}  // namespace pelmora

namespace pelmora {

std::unique_ptr<StudySimulator> BivariateNormalDistribution::MakeSimulator(const Session& s,
                                                                           const SimulationPlan& plan,
                                                                           std::string& why) {
  return listed_ == nullptr ? nullptr : listed_->MakeSimulator(s, plan, why);
}

}  // namespace pelmora
