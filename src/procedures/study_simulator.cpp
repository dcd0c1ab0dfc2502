#include "procedures/study_simulator.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <utility>

#include "numeric/sample_moments.h"
#include "numeric/simulated_counts.h"

namespace pelmora {

std::vector<std::vector<std::int64_t>> RecruitedLookSizes(std::span<const double> wholeSizes,
                                                          const SimulationPlan& plan) {
  std::vector<std::vector<std::int64_t>> looks;
  const double keep = 1 - plan.dropout;
  for (std::size_t k = 0; k < plan.fractions.size(); ++k) {
    const bool last = k + 1 == plan.fractions.size();
    std::vector<std::int64_t> sizes;
    for (double n : wholeSizes) {
      const double atLook = last ? n : WholeSize(plan.fractions[k] * n);
      sizes.push_back(static_cast<std::int64_t>(plan.dropout > 0 ? WholeSize(atLook / keep) : atLook));
    }
    looks.push_back(std::move(sizes));
  }
  return looks;
}

std::string NotSimulatedMessage(const std::string& procedureName) {
  return procedureName + " is not available as a Monte Carlo simulation";
}

namespace {

class ContinuousSimulator final : public StudySimulator {
 public:
  ContinuousSimulator(std::vector<ObservationSampler> samplers, const SimulationPlan& plan,
                      std::vector<std::vector<std::int64_t>> looks, GroupsPValue pValue)
      : samplers_(std::move(samplers)), dropout_(plan.dropout), pValue_(std::move(pValue)) {
    lookSizes_ = std::move(looks);
    data_.resize(samplers_.size());
    for (std::size_t g = 0; g < samplers_.size(); ++g)
      data_[g].resize(static_cast<std::size_t>(lookSizes_.back()[g]));
    kept_.resize(lookSizes_.size() * samplers_.size());
    summaries_.resize(samplers_.size());
  }
  std::unique_ptr<StudySimulator> Clone() const override { return std::make_unique<ContinuousSimulator>(*this); }
  bool UsesDataModel() const override { return true; }

  void Simulate(RandomStream& stream, StudyOutcome& out) override {
    const std::size_t groups = samplers_.size(), looks = lookSizes_.size();
    for (std::size_t g = 0; g < groups; ++g) {
      std::vector<double>& x = data_[g];
      samplers_[g].Fill(stream, x);
      // Each subject drops out at random; those who remain keep their order,
      // so the data of a look are the first of the remaining ones.
      std::size_t remaining = 0, next = 0;
      for (std::size_t k = 0; k < looks; ++k) {
        const auto end = static_cast<std::size_t>(lookSizes_[k][g]);
        for (; next < end; ++next)
          if (dropout_ <= 0 || stream.Uniform() >= dropout_) x[remaining++] = x[next];
        kept_[k * groups + g] = remaining;
      }
    }
    for (std::size_t k = 0; k < looks; ++k) {
      for (std::size_t g = 0; g < groups; ++g) {
        const std::size_t n = kept_[k * groups + g];
        const SampleMoments m = MomentsOf(std::span<const double>(data_[g].data(), n));
        summaries_[g] = {static_cast<double>(n), m.mean, m.variance};
      }
      out.p[k] = pValue_(summaries_);
    }
  }

 private:
  std::vector<ObservationSampler> samplers_;
  double dropout_;
  GroupsPValue pValue_;
  std::vector<std::vector<double>> data_;
  std::vector<std::size_t> kept_;
  std::vector<GroupSummary> summaries_;
};

class CountSimulator final : public StudySimulator {
 public:
  CountSimulator(std::vector<double> probabilities, const SimulationPlan& plan,
                 std::vector<std::vector<std::int64_t>> looks, CountsPValue pValue)
      : probabilities_(std::move(probabilities)), dropout_(plan.dropout), pValue_(std::move(pValue)) {
    lookSizes_ = std::move(looks);
    successes_.resize(probabilities_.size());
    analysed_.resize(probabilities_.size());
  }
  std::unique_ptr<StudySimulator> Clone() const override { return std::make_unique<CountSimulator>(*this); }

  void Simulate(RandomStream& stream, StudyOutcome& out) override {
    std::fill(successes_.begin(), successes_.end(), 0);
    std::fill(analysed_.begin(), analysed_.end(), 0);
    for (std::size_t k = 0; k < lookSizes_.size(); ++k) {
      for (std::size_t g = 0; g < probabilities_.size(); ++g) {
        const std::int64_t recruited = lookSizes_[k][g] - (k > 0 ? lookSizes_[k - 1][g] : 0);
        const std::int64_t remain = dropout_ > 0 ? DrawBinomial(stream, recruited, 1 - dropout_) : recruited;
        analysed_[g] += remain;
        successes_[g] += DrawBinomial(stream, remain, probabilities_[g]);
      }
      out.p[k] = Cached();
    }
  }

 private:
  // Tables of up to two groups of fewer than 65536 subjects are kept by
  // their counts.
  double Cached() {
    std::uint64_t key = 0;
    bool keyed = probabilities_.size() <= 2;
    for (std::size_t g = 0; g < probabilities_.size() && keyed; ++g) {
      keyed = analysed_[g] < 65536;
      key = (key << 32) | static_cast<std::uint64_t>(analysed_[g]) << 16 |
            static_cast<std::uint64_t>(successes_[g]);
    }
    if (!keyed) return pValue_(successes_, analysed_);
    const auto found = cache_.find(key);
    if (found != cache_.end()) return found->second;
    const double p = pValue_(successes_, analysed_);
    cache_.emplace(key, p);
    return p;
  }

  std::vector<double> probabilities_;
  double dropout_;
  CountsPValue pValue_;
  std::vector<std::int64_t> successes_, analysed_;
  std::unordered_map<std::uint64_t, double> cache_;
};

}  // namespace

std::unique_ptr<StudySimulator> MakeContinuousSimulator(std::span<const ContinuousGroup> groups,
                                                        const SimulationPlan& plan, GroupsPValue pValue,
                                                        std::string& why) {
  std::vector<ObservationSampler> samplers;
  std::vector<double> sizes;
  for (const ContinuousGroup& g : groups) {
    std::optional<ObservationSampler> sampler = ObservationSampler::WithMoments(plan.data, g.mean, g.sd);
    if (!sampler) {
      why = plan.data == DataModel::kLogNormal
                ? "log-normal observations need a positive mean in every group"
                : "the observations cannot be drawn with these means and standard deviations";
      return nullptr;
    }
    if (!(g.wholeSize >= 1 && g.wholeSize <= 1e8)) {
      why = "the sample sizes must be from 1 to 100000000 to be simulated";
      return nullptr;
    }
    samplers.push_back(*sampler);
    sizes.push_back(g.wholeSize);
  }
  return std::make_unique<ContinuousSimulator>(std::move(samplers), plan, RecruitedLookSizes(sizes, plan),
                                               std::move(pValue));
}

std::unique_ptr<StudySimulator> MakeCountSimulator(std::span<const CountGroup> groups,
                                                   const SimulationPlan& plan, CountsPValue pValue) {
  std::vector<double> probabilities, sizes;
  for (const CountGroup& g : groups) {
    if (!(g.probability >= 0 && g.probability <= 1) || !(g.wholeSize >= 0 && g.wholeSize <= 1e8)) return nullptr;
    probabilities.push_back(g.probability);
    sizes.push_back(g.wholeSize);
  }
  return std::make_unique<CountSimulator>(std::move(probabilities), plan, RecruitedLookSizes(sizes, plan),
                                          std::move(pValue));
}

}  // namespace pelmora
