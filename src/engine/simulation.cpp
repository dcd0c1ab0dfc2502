#include "engine/simulation.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <sstream>
#include <type_traits>

#include "engine/achieved_power.h"
#include "engine/simulation_blocks.h"
#include "format/number_entry.h"
#include "numeric/group_sequential.h"
#include "numeric/normal_quantile.h"
#include "session/procedure_table.h"

namespace pelmora {

std::string CheckSimulationRequest(const SimulationRequest& r) {
  if (r.studies < kMinSimulatedStudies || r.studies > kMaxSimulatedStudies)
    return "the number of simulated studies must be from 100 to 10000000";
  if (r.halfWidth && !(*r.halfWidth > 0 && *r.halfWidth < 0.5))
    return "the half-width of the power's interval must lie between 0 and 0.5";
  if (!(r.dropout >= 0 && r.dropout <= kMaxSimulatedDropout)) return "the dropout rate must lie in [0, 0.9]";
  return {};
}

std::optional<SimulationRequest> SimulationRequestOf(const PlanningSettings& p, std::string& why) {
  const auto whole = [](const std::string& text, auto& value) {
    // Eighteen digits fit any of the counts.
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos)
      return false;
    value = 0;
    for (char c : text) value = value * 10 + static_cast<std::remove_reference_t<decltype(value)>>(c - '0');
    return true;
  };
  SimulationRequest r;
  if (!whole(p.SimulationStudies, r.studies)) {
    why = "the number of simulated studies must be a whole number from 100 to 10000000";
    return std::nullopt;
  }
  if (!p.SimulationHalfWidth.empty()) {
    if (!IsWellFormedNumber(p.SimulationHalfWidth)) {
      why = "the half-width of the power's interval must be a number between 0 and 0.5";
      return std::nullopt;
    }
    r.halfWidth = ParseNumber(p.SimulationHalfWidth);
  }
  if (!whole(p.SimulationSeed, r.seed)) {
    why = "the seed must be a whole number of 0 or more";
    return std::nullopt;
  }
  const std::optional<DataModel> data =
      p.SimulationData >= 0 && p.SimulationData < static_cast<int>(kDataModels.size())
          ? std::optional<DataModel>(kDataModels[static_cast<std::size_t>(p.SimulationData)])
          : std::nullopt;
  if (!data) {
    why = "the data model is not one this program simulates";
    return std::nullopt;
  }
  r.data = *data;
  if (!IsWellFormedNumber(p.ExpectedDropout.empty() ? "0" : p.ExpectedDropout)) {
    why = "the dropout rate must lie in [0, 0.9]";
    return std::nullopt;
  }
  r.dropout = p.ExpectedDropout.empty() ? 0 : ParseNumber(p.ExpectedDropout);
  why = CheckSimulationRequest(r);
  if (!why.empty()) return std::nullopt;
  return r;
}

bool SimulatesDataModel(Dispatcher& d) {
  ProcedureModule* m = d.Module();
  if (m == nullptr) return false;
  std::string why;
  const std::unique_ptr<StudySimulator> sim = m->MakeSimulator(d.session(), SimulationPlan{}, why);
  return sim != nullptr && sim->UsesDataModel();
}

void SimulationCounts::Add(const SimulationCounts& o) {
  studies += o.studies;
  rejections += o.rejections;
  for (int k = 0; k < kMaxLooks; ++k) {
    rejectAt[k] += o.rejectAt[k];
    futilityAt[k] += o.futilityAt[k];
  }
  recruited += o.recruited;
  for (int b = 0; b < kPValueBins; ++b) pValues[b] += o.pValues[b];
  covered += o.covered;
  narrow += o.narrow;
}

namespace {

double UpperTail(double z) { return 0.5 * std::erfc(z / std::sqrt(2.0)); }

// The looks' boundaries on the P-value scale of the procedure's test.
struct Boundaries {
  std::vector<double> fractions{1.0};
  std::vector<double> efficacy;
  std::vector<std::optional<double>> futility;
  std::optional<SequentialResult> analytic;
};

std::optional<double> NumberOf(const std::string& text) {
  if (text.empty()) return std::nullopt;
  return ParseNumber(text);
}

// The group-sequential design of the planning settings, or why there is none.
std::optional<Boundaries> BoundariesOf(const Session& s, std::optional<double> fixedPower, std::string& why) {
  Boundaries b;
  const double alpha = s.value(0);
  if (s.InterimCount <= 0) {
    b.efficacy = {alpha};
    b.futility = {std::nullopt};
    return b;
  }
  if (s.TailCount < 1 || s.TailCount > 2) {
    why = "interim analyses are simulated for tests with one or two tails";
    return std::nullopt;
  }
  const PlanningSettings& p = s.planning;
  SequentialPlan plan;
  plan.interims = s.InterimCount;
  std::istringstream fractions(p.InformationFractions);
  for (std::string f; fractions >> f;) plan.fractions.push_back(ParseNumber(f));
  plan.sides = s.TailCount;
  plan.alpha = alpha;
  const auto efficacy = BoundaryFamilyAt(p.BoundaryFamily);
  const auto futility = BoundaryFamilyAt(p.FutilityFamily);
  if (!efficacy || !futility) {
    why = "the boundary family of the interim analyses is not known";
    return std::nullopt;
  }
  plan.efficacy = *efficacy;
  plan.efficacyParameter = NumberOf(p.BoundaryParameter);
  plan.futility = *futility;
  plan.futilityParameter = NumberOf(p.FutilityParameter);
  plan.binding = p.BindingFutility != kFalse;
  plan.power = PlansByPower(s) && s.LastPosition >= 2 ? s.value(2) : 0.8;
  const SequentialDesignOutcome made = SequentialDesign::Make(plan);
  if (!made.design) {
    why = made.error;
    return std::nullopt;
  }
  // The drift of the fixed design with the analytic power at the whole sizes.
  const double zAlpha = StandardNormalUpperQuantile(alpha / plan.sides);
  const double power = fixedPower && *fixedPower > 1e-9 && *fixedPower < 1 - 1e-9 ? *fixedPower : plan.power;
  b.analytic = made.design->Evaluate(zAlpha + StandardNormalQuantile(power));
  if (!b.analytic) {
    why = "the boundaries of the interim analyses cannot be computed";
    return std::nullopt;
  }
  b.fractions = made.design->Fractions();
  for (const SequentialLook& look : b.analytic->looks) {
    b.efficacy.push_back(look.efficacyP);
    if (look.futilityZ)
      b.futility.push_back(plan.sides == 1 ? UpperTail(*look.futilityZ) : 2 * UpperTail(*look.futilityZ));
    else
      b.futility.push_back(std::nullopt);
  }
  return b;
}

using SimulatorState = std::unique_ptr<StudySimulator>;

SimulationCounts SimulateBlock(StudySimulator& sim, const Boundaries& b, RandomStream& stream,
                               std::int64_t count) {
  SimulationCounts c;
  StudyOutcome out;
  const auto& sizes = sim.LookSizes();
  std::vector<double> recruited;
  for (const auto& look : sizes) {
    double n = 0;
    for (std::int64_t g : look) n += static_cast<double>(g);
    recruited.push_back(n);
  }
  const std::size_t looks = sizes.size();
  for (std::int64_t i = 0; i < count; ++i) {
    sim.Simulate(stream, out);
    ++c.studies;
    if (sim.IsInterval()) {
      c.covered += out.covered;
      c.narrow += out.narrow;
      continue;
    }
    std::size_t k = 0;
    for (; k < looks; ++k) {
      if (out.p[k] <= b.efficacy[k]) {
        ++c.rejectAt[k];
        ++c.rejections;
        break;
      }
      if (b.futility[k] && k + 1 < looks && out.p[k] >= *b.futility[k]) {
        ++c.futilityAt[k];
        break;
      }
    }
    k = std::min(k, looks - 1);
    c.recruited += recruited[k];
    const double p = std::clamp(out.p[k], 0.0, 1.0);
    ++c.pValues[std::min(kPValueBins - 1, static_cast<int>(p * kPValueBins))];
  }
  return c;
}

}  // namespace

SimulationOutcome RunSimulation(Dispatcher& d, const SimulationRequest& r, const std::atomic<bool>& cancel,
                                const std::function<void(const SimulationProgress&)>& progress) {
  SimulationOutcome outcome;
  if (std::string bad = CheckSimulationRequest(r); !bad.empty()) {
    outcome.error = bad;
    return outcome;
  }
  const auto started = std::chrono::steady_clock::now();
  Session& s = d.session();
  const std::optional<Procedure> procedure = SelectedProcedure(s);
  const std::string name = procedure ? ProcedureName(*procedure) : "This selection";
  ProcedureModule* m = d.Module();
  const bool test = s.IsTestProcedure != kFalse || s.ProcedureKind == 0;
  SimulationPlan plan;
  plan.data = r.data;
  plan.dropout = r.dropout;
  std::optional<double> analytic;
  if (test) {
    // The power of the fixed design at the whole sizes: the boundaries turn
    // it into the drift of the group-sequential design.
    const std::int16_t interims = s.InterimCount;
    s.InterimCount = 0;
    const DesignPower power = PowerOfDesign(d);
    s.InterimCount = interims;
    analytic = power.whole.sizes.empty() ? power.power : power.whole.power;
  }
  std::string why;
  const std::optional<Boundaries> bounds = test ? BoundariesOf(s, analytic, why) : Boundaries{};
  if (!bounds) {
    outcome.error = why;
    return outcome;
  }
  plan.fractions = bounds->fractions;
  SimulationPlan null = plan;
  null.underH0 = true;
  std::unique_ptr<StudySimulator> h1 = m ? m->MakeSimulator(s, plan, why) : nullptr;
  std::unique_ptr<StudySimulator> h0 = h1 && test ? m->MakeSimulator(s, null, why) : nullptr;
  if (!h1 || (test && !h0)) {
    outcome.error = why.empty() ? NotSimulatedMessage(name) : why;
    return outcome;
  }
  if (r.data != DataModel::kNormal && !h1->UsesDataModel()) {
    outcome.error = "the data model \"" + std::string(DataModelName(r.data)) + "\" is not offered by " + name +
                    ": it draws its data from a model of its own";
    return outcome;
  }

  SimulationResult result;
  result.request = r;
  result.interval = h1->IsInterval();
  const std::int64_t planned = r.halfWidth ? kMaxSimulatedStudies : r.studies;
  const bool withH0 = !result.interval;
  result.studiesPlanned = withH0 ? 2 * planned : planned;
  std::int64_t doneBefore = 0;
  auto run = [&](const StudySimulator& proto, std::uint64_t lane, std::int64_t studies, bool narrowing) {
    const bool underH0 = lane == 1;
    BlockRunSettings settings;
    settings.studies = studies;
    settings.seed = r.seed;
    settings.lane = lane;
    settings.threads = r.threads;
    BlockJob<SimulatorState, SimulationCounts> job;
    job.make_state = [&proto] { return proto.Clone(); };
    job.run_block = [&bounds](SimulatorState& sim, RandomStream& stream,
                              const StudyBlock& block) -> std::optional<SimulationCounts> {
      SimulationCounts total;
      // A few studies at a time, so that a cancel is seen soon.
      for (std::int64_t done = 0; done < block.count; done += 50) {
        if (block.ShouldStop()) return std::nullopt;
        total.Add(SimulateBlock(*sim, *bounds, stream, std::min<std::int64_t>(50, block.count - done)));
      }
      return total;
    };
    job.combine = [](SimulationCounts& all, const SimulationCounts& block) { all.Add(block); };
    if (narrowing)
      job.stop_when = [h = *r.halfWidth, interval = result.interval](const SimulationCounts& c, std::int64_t n) {
        const std::int64_t hits = interval ? c.covered : c.rejections;
        return WilsonHalfWidth(static_cast<double>(hits) / static_cast<double>(n), static_cast<double>(n)) < h;
      };
    if (progress)
      job.progress = [&, underH0](std::int64_t done, const SimulationCounts& c) {
        progress({doneBefore + done, result.studiesPlanned, result.interval, underH0, c.studies,
                  result.interval ? c.covered : c.rejections});
      };
    return RunStudyBlocks(settings, job, cancel);
  };
  const auto first = run(*h1, 0, planned, r.halfWidth.has_value());
  result.h1 = first.combined;
  result.cancelled = first.report.cancelled;
  if (withH0) {
    result.studiesPlanned = planned + (first.report.stopped ? result.h1.studies : planned);
    doneBefore = result.h1.studies;
    const auto second = run(*h0, 1, first.report.stopped ? result.h1.studies : planned, false);
    result.h0 = second.combined;
    result.cancelled = result.cancelled || second.report.cancelled;
  }

  if (result.interval) {
    result.coverage = WilsonInterval(result.h1.covered, result.h1.studies);
    result.widthBelow = WilsonInterval(result.h1.narrow, result.h1.studies);
  } else {
    result.power = WilsonInterval(result.h1.rejections, result.h1.studies);
    result.level = WilsonInterval(result.h0.rejections, result.h0.studies);
    result.nominalLevel = s.value(0);
    result.analyticPower = bounds->analytic ? std::optional<double>(bounds->analytic->power) : analytic;
    const auto share = [](std::int64_t k, std::int64_t n) { return n > 0 ? double(k) / double(n) : 0.0; };
    const auto& sizes = h1->LookSizes();
    for (std::size_t k = 0; k < sizes.size(); ++k) {
      SimulatedLook look;
      look.sizes = sizes[k];
      look.efficacyP = bounds->efficacy[k];
      look.futilityP = bounds->futility[k];
      look.rejectH1 = share(result.h1.rejectAt[k], result.h1.studies);
      look.futilityH1 = share(result.h1.futilityAt[k], result.h1.studies);
      look.rejectH0 = share(result.h0.rejectAt[k], result.h0.studies);
      look.futilityH0 = share(result.h0.futilityAt[k], result.h0.studies);
      result.looks.push_back(std::move(look));
    }
    result.expectedTotalH1 = result.h1.studies > 0 ? result.h1.recruited / double(result.h1.studies) : 0;
    result.expectedTotalH0 = result.h0.studies > 0 ? result.h0.recruited / double(result.h0.studies) : 0;
    double whole = 0;
    for (std::int64_t g : sizes.back()) whole += static_cast<double>(g);
    if (bounds->analytic) {
      result.analyticTotalH1 = whole * bounds->analytic->expectedFractionH1;
      result.analyticTotalH0 = whole * bounds->analytic->expectedFractionH0;
    } else {
      result.analyticTotalH1 = result.analyticTotalH0 = whole;
    }
  }
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  outcome.result = std::move(result);
  return outcome;
}

std::string SimulationVerdict(const SimulationResult& r) {
  if (r.interval || !r.power || !r.analyticPower) return {};
  const double difference = r.power->estimate - *r.analyticPower;
  const double se = r.power->standard_error > 0 ? r.power->standard_error
                                                : std::sqrt(0.25 / static_cast<double>(r.h1.studies));
  const double z = difference / se;
  if (std::fabs(z) <= 3) return "The simulation agrees with the calculation";
  // Data drawn from another model than the calculation's are the reason
  // enough; with the assumed model it is the calculation's approximation.
  const char* const why = r.request.data != DataModel::kNormal
                              ? "the data of the chosen model are not those the calculation assumes"
                              : "the calculation's approximation does not hold for these sizes";
  char text[240];
  std::snprintf(text, sizeof text,
                "The planned analysis differs from the calculation by %.3f in power (%.1f standard errors): %s",
                std::fabs(difference), std::fabs(z), why);
  return text;
}

}  // namespace pelmora
