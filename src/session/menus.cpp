#include "session/menus.h"

namespace pelmora {

const std::vector<std::string>& TestMenuCaptions() {
  static const std::vector<std::string> captions = {"Student's &unpaired t-test",
                                                    "Student's &paired t-test",
                                                    "&ANOVA (one-way)",
                                                    "-",
                                                    "&Fisher's exact test",
                                                    "&McNemar's test",
                                                    "&Chi2 test (2 x 2 table)",
                                                    "C&hi2 homogeneity test",
                                                    "-",
                                                    "&Life table (Mantel-Haenszel)",
                                                    "S&urvival Analysis test",
                                                    "-",
                                                    "&Wilcoxon rank-sum test",
                                                    "Wilco&xon signed-rank test",
                                                    "&Sign test",
                                                    "-",
                                                    "&Bioequivalence test",
                                                    "Corr&elation coefficient test",
                                                    "&Regression coefficient test"};
  return captions;
}

const std::vector<std::string>& DistributionMenuCaptions() {
  static const std::vector<std::string> captions = {"&Normal Distribution",
                                                    "&Log Normal Distribution",
                                                    "&Exponential Distribution",
                                                    "-",
                                                    "&Binomial Distribution",
                                                    "&Hypergeometric Distribution",
                                                    "&Poisson Distribution",
                                                    "-",
                                                    "&Finite Population",
                                                    "-",
                                                    "Bi&variate Normal Distribution"};
  return captions;
}

bool IsTestItem(int index) {
  const auto& c = TestMenuCaptions();
  return index >= 0 && index < static_cast<int>(c.size()) && c[static_cast<std::size_t>(index)] != "-";
}

bool IsDistributionItem(int index) {
  const auto& c = DistributionMenuCaptions();
  return index >= 0 && index < static_cast<int>(c.size()) && c[static_cast<std::size_t>(index)] != "-";
}

}  // namespace pelmora
