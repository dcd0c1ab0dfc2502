#include "session/menus.h"

namespace pelmora {

const std::vector<std::string>& FileMenuCaptions() {
  static const std::vector<std::string> captions = {
      "New &Calculation", "New &Table", "New &Graph", "-", "&Open File...", "-", "&Export...",
      "Save &As...",      "-",          "&Print...",  "-", "E&xit"};
  return captions;
}

int FileMenuHelpContext(int index) {
  switch (index) {
    case 0:
      return 101;
    case 1:
      return 102;
    case 2:
      return 103;
    case 4:
      return 105;
    case 6:
      return 109;
    case 7:
      return 108;
    case 9:
      return 110;
    case 11:
      return 112;
    default:
      return 0;
  }
}

const std::vector<std::string>& EditMenuCaptions() {
  static const std::vector<std::string> captions = {"&Copy"};
  return captions;
}

const std::vector<std::string>& WindowMenuCaptions() {
  static const std::vector<std::string> captions = {"&Cascade", "&Tile", "&Arrange Icons"};
  return captions;
}

const std::vector<std::string>& HelpMenuCaptions() {
  static const std::vector<std::string> captions = {"&Contents", "&Search for Help on...", "&How to Use Help",
                                                    "-", "&About..."};
  return captions;
}

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
