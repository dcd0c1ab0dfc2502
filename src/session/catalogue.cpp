#include "session/catalogue.h"

#include <utility>

namespace pelmora {

namespace {

// A single-precision limit such as 0.00001 or 0.99999, widened to double as the
// program holds it (0.00001 is 9.99999974737875E-06).
constexpr double Widen(float v) { return static_cast<double>(v); }

struct Row {
  int id;
  const char* caption;
  const char* initial;
  const char* tableMin;
  const char* tableMax;
  const char* tableStep;
  double lower;
  double upper;
};

// Ids 109 and 144 and every id above 244 stay empty.
constexpr Row kRows[] = {
    {0, "&P-value", "0.05", "0.001", "0.10", "0.01", Widen(0.00001f), Widen(0.99999f)},
    {1, "&Power", "0.80", "0.70", "0.90", "0.02", Widen(0.00001f), Widen(0.99999f)},
    {2, "&Standard Deviation", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {3, "&Standard Deviation of Difference*", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {4, "Sample Size &1", "30", "10", "50", "2", 3.0, 99999.0},
    {5, "Sample Size &2 / Sample Size 1", "1.0", "0.5", "1.5", "0.1", Widen(0.00001f), 9999.0},
    {6, "H0: &Left Equivalence Limit", "-0.40", "-0.50", "-0.30", "0.02", -99999.0, 99999.0},
    {7, "H0: &Right Equivalence Limit", "0.40", "0.30", "0.50", "0.02", -99999.0, 99999.0},
    {8, "Pr&oportion 1*", "0.50", "0.40", "0.60", "0.02", Widen(0.00001f), Widen(0.99999f)},
    {9, "&Hazard Rate 1*", "0.50", "0.30", "0.70", "0.02", Widen(0.00001f), 99999.0},
    {10, "&Recruiting Time", "5", "3", "7", ".5", Widen(0.00001f), 99999.0},
    {11, "&Total Study Time", "10", "5", "15", "1", Widen(0.00001f), 99999.0},
    {12, "Time Interval &Length", "1", "0.5", "1.5", "0.02", Widen(0.00001f), 99999.0},
    {13, "&Loss Rate 1", "0", "0.30", "0.70", "0.02", 0.0, 99999.0},
    {14, "Sample Si&ze", "30", "10", "50", "2", 3.0, 99999.0},
    {15, "Proportio&n 10* + Proportion 01*", "0.50", "0.40", "0.60", "0.02", Widen(0.00001f),
     Widen(0.99999f)},
    {16, "D&iff. of Diagonal Probabilities", "0.30", "0.20", "0.40", "0.01", Widen(-0.99999f),
     Widen(0.99999f)},
    {17, "&No Of Groups", "5", "3", "7", "1", 2.0, 99999.0},
    {18, "A&bsolute Error", "0.10", "0.05", "0.15", "0.01", Widen(0.00001f), 99999.0},
    {19, "&Upper Absolute Error", "0.10", "0.05", "0.15", "0.01", Widen(0.00001f), 99999.0},
    {20, "&Lower Limit", "0.30", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {21, "&Upper Limit", "0.30", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {22, "Confidence &Level", "0.95", "0.90", "0.99", "0.01", Widen(0.00001f), Widen(0.99999f)},
    {23, "&Relative Error", "0.10", "0.05", "0.15", "0.01", Widen(0.00001f), Widen(0.99999f)},
    {24, "&Upper Relative Error", "0.10", "0.05", "0.15", "0.01", Widen(0.00001f), Widen(0.99999f)},
    {25, "&Total Time at Risk 1", "10", "5", "15", "1", Widen(0.00001f), 99999.0},
    {26, "&Scale 1*", "2.5", "2.2", "2.7", "0.05", Widen(0.00001f), 99999.0},
    {27, "&Shape (Std. Dev. on elog scale)", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {28, "Total Ti&me at Risk 2", "10", "5", "15", "1", Widen(0.00001f), 99999.0},
    {29, "H0: &Left Equivalence Limit", "0.80", "0.70", "0.90", "0.02", Widen(0.00001f), 99999.0},
    {30, "H0: &Right Equivalence Limit", "1.25", "1.10", "1.40", "0.02", Widen(0.00001f), 99999.0},
    {31, "Pop&ulation Size", "500", "200", "700", "20", 3.0, 99999.0},
    {32, "&Shape* (Std. Dev. on elog scale)", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {33, "Re&cruiting Rate", "0", "-2", "2", "0.5", -99.0, 99.0},
    {34, "Standard Deviation of &Means*", "0.10", "0.05", "0.15", "0.01", 0.0, 99999.0},
    {35, "H&0: Proportion", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), Widen(0.99999f)},
    {36, "Degrees Of &Freedom", "10", "5", "20", "1", 2.0, 99999.0},
    {37, "Sample Size &2", "30", "10", "50", "2", 3.0, 99999.0},
    {38, "Sample Size &2 - Sample Size 1", "0", "-50", "50", "5", -99999.0, 99999.0},
    {39, "Sample Size &1", "30", "10", "50", "2", 3.0, 99999.0},
    {40, "Pr&oportion*  -  H0:Proportion", "0.30", "0.20", "0.40", "0.05", Widen(-0.99999f), Widen(0.99999f)},
    {41, "Pr&oportion* / H0:Proportion", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {42, "Sample Size &2", "30", "10", "50", "2", 3.0, 99999.0},
    {43, "&Hazard Rate* - H0:Hazard Rate", "0.30", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {44, "&Hazard Rate* / H0:Hazard Rate", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {45, "L&oss Rate 2", "0", "0.30", "0.70", "0.02", 0.0, 99999.0},
    {46, "L&oss Rate 2 - Loss Rate 1", "0", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {47, "H0: &Left Equivalence Limit", "0.30", "0.10", "0.50", "0.05", Widen(0.00001f), Widen(0.99999f)},
    {48, "H0: &Right Equivalence Limit", "0.70", "0.50", "0.90", "0.05", Widen(0.00001f), Widen(0.99999f)},
    {49, "L&oss Rate 2 / Loss Rate 1", "1.0", "0.5", "1.5", "0.1", Widen(0.00001f), 9999.0},
    {50, "&Shape 1 (Std.Dev. on elog scale)", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {51, "H&0: Proportion 2 - Proportion 1", "0", "-0.20", "0.20", "0.05", Widen(-0.99999f), Widen(0.99999f)},
    {52, "Propor&tion 2* - Proportion 1*", "0.30", "0.20", "0.40", "0.05", Widen(-0.99999f), Widen(0.99999f)},
    {53, "I&ncidence 1*", "0.50", "0.40", "0.60", "0.02", Widen(0.00001f), Widen(0.99999f)},
    {54, "S&hape 2 (Std.Dev. on elog scale)", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {55, "I&ncidence* - H0:Incidence", "0.30", "0.20", "0.40", "0.05", Widen(-0.99999f), Widen(0.99999f)},
    {56, "I&ncidence* / H0:Incidence", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {57, "H&0: Mean", "0", "-0.30", "0.30", "0.05", -99999.0, 99999.0},
    {58, "&Mean*", "0.30", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {59, "&Mean*  -  H0:Mean", "0.30", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {60, "&Mean*  /  H0:Mean", "1.30", "1.10", "1.50", "0.05", -99999.0, 99999.0},
    {61, "H&0: Mean 2 - Mean 1", "0", "-0.30", "0.30", "0.05", -99999.0, 99999.0},
    {62, "M&ean 2* - Mean 1*", "0.30", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {63, "H&0: Hazard Rate", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {64, "H&0:Hazard Rate 2 - Hazard Rate 1", "0", "-0.20", "0.20", "0.05", -99999.0, 99999.0},
    {65, "H&azard Rate 2* - Hazard Rate 1*", "0.30", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {66, "H&0: Incidence", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), Widen(0.99999f)},
    {67, "H&0: Incidence 2 - Incidence 1", "0", "-0.20", "0.20", "0.05", Widen(-0.99999f), Widen(0.99999f)},
    {68, "Inci&dence 2* - Incidence 1*", "0.30", "0.20", "0.40", "0.05", Widen(-0.99999f), Widen(0.99999f)},
    {69, "Propor&tion 2*", "0.50", "0.40", "0.60", "0.02", Widen(0.00001f), Widen(0.99999f)},
    {70, "Propor&tion 2* / Proportion 1*", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {71, "H0: &Left Equivalence Limit", "-0.30", "-0.50", "-0.10", "0.05", Widen(-0.99999f), Widen(0.99999f)},
    {72, "H0: &Right Equivalence Limit", "0.30", "0.10", "0.50", "0.05", Widen(-0.99999f), Widen(0.99999f)},
    {73, "H&azard Rate 2*", "0.70", "0.50", "0.90", "0.02", Widen(0.00001f), 99999.0},
    {74, "H&azard Rate 2* / Hazard Rate 1*", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {75, "H0: &Left Equivalence Limit", "0.30", "0.10", "0.50", "0.05", Widen(0.00001f), Widen(0.99999f)},
    {76, "H0: &Right Equivalence Limit", "0.70", "0.50", "0.90", "0.05", Widen(0.00001f), Widen(0.99999f)},
    {77, "H0: &Left Equivalence Limit", "-0.30", "-0.50", "-0.10", "0.05", -99999.0, 99999.0},
    {78, "H0: &Right Equivalence Limit", "0.30", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {79, "Inci&dence 2*", "0.50", "0.40", "0.60", "0.02", Widen(0.00001f), Widen(0.99999f)},
    {80, "Inci&dence 2* / Incidence 1*", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {81, "&Hazard Rate*", "0.50", "0.30", "0.70", "0.02", Widen(0.00001f), 99999.0},
    {82, "I&ncidence*", "0.50", "0.40", "0.60", "0.02", Widen(0.00001f), Widen(0.99999f)},
    {83, "Pr&oportion*", "0.50", "0.40", "0.60", "0.02", Widen(0.00001f), Widen(0.99999f)},
    {84, "&Loss Rate", "0", "0.30", "0.70", "0.02", 0.0, 99999.0},
    {85, "Sample Si&ze", "30", "10", "50", "2", 3.0, 99999.0},
    {86, "&Mean 1*", "0.30", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {87, "M&ean 2*", "0.40", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {88, "M&ean 2* / Mean 1*", "1.30", "1.10", "1.50", "0.05", -99999.0, 99999.0},
    {89, "H&0: Median", "1", "0.50", "1.50", "0.05", Widen(0.00001f), 99999.0},
    {90, "&Median*", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {91, "&Median*  -  H0:Median", "0.30", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {92, "&Median*  /  H0:Median", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {93, "H&0: Median 2 / Median 1", "1", "0.50", "1.50", "0.10", Widen(0.00001f), 99999.0},
    {94, "&Median 1*", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {95, "M&edian 2*", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {96, "&Median 2* / Median 1*", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {97, "H0: &Left Equivalence Limit", "0.80", "0.70", "0.90", "0.02", Widen(0.00001f), 99999.0},
    {98, "H0: &Right Equivalence Limit", "1.25", "1.10", "1.40", "0.02", Widen(0.00001f), 99999.0},
    {99, "Tot&al No of Events", "30", "10", "50", "2", 3.0, 99999.0},
    {100, "&Width Of Interval", "1.0", "0.8", "1.2", "0.05", Widen(0.00001f), 99999.0},
    {101, "&Prob ( Width Of Interval < w )", "0.95", "0.90", "0.99", "0.01", Widen(0.00001f),
     Widen(0.99999f)},
    {102, "Pr&oportion", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), Widen(0.99999f)},
    {103, "Pr&oportion 1", "0.50", "0.40", "0.60", "0.02", Widen(0.00001f), Widen(0.99999f)},
    {104, "Propor&tion 2", "0.50", "0.40", "0.60", "0.02", Widen(0.00001f), Widen(0.99999f)},
    {105, "Propor&tion 2 - Proportion 1", "0.30", "0.20", "0.40", "0.05", Widen(-0.99999f), Widen(0.99999f)},
    {106, "Propor&tion 2 / Proportion 1", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {107, "S&hape 2 - Shape 1", "0", "-0.30", "0.30", "0.10", -99999.0, 99999.0},
    {108, "S&hape 2 / Shape 1", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {110, "H&0: Standard Deviation", "1", "0.5", "1.5", "0.1", Widen(0.00001f), 99999.0},
    {111, "&Standard Deviation*", "1.2", "1", "1.4", "0.1", Widen(0.00001f), 99999.0},
    {112, "&Std.Dev.* -  H0: Std.Dev.", "0", "-0.30", "0.30", "0.10", -99999.0, 99999.0},
    {113, "&Std.Dev.* / H0: Std.Dev.", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {114, "H&0: Std.Dev.2 / Std.Dev.1", "1", "0.5", "1.5", "0.1", Widen(0.00001f), 99999.0},
    {115, "Std.&Dev.2* / Std.Dev.1*", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {116, "H0: &Left Equivalence Limit", "0.80", "0.70", "0.90", "0.02", Widen(0.00001f), 99999.0},
    {117, "H0: &Right Equivalence Limit", "1.25", "1.10", "1.40", "0.02", Widen(0.00001f), 99999.0},
    {118, "&Loss Incidence", "0", "0.10", "0.20", "0.01", 0.0, Widen(0.99999f)},
    {119, "&Loss Incidence 1", "0", "0.10", "0.20", "0.01", 0.0, Widen(0.99999f)},
    {120, "L&oss Incidence 2", "0", "0.10", "0.20", "0.01", 0.0, Widen(0.99999f)},
    {121, "L&oss Incide.2 - Loss Incide.1", "0", "0.10", "0.20", "0.01", 0.0, Widen(0.99999f)},
    {122, "L&oss Incide.2 / Loss Incide.1", "1.0", "0.5", "1.5", "0.1", Widen(0.00001f), 9999.0},
    {123, "Proportio&n 11*", "0.40", ".35", "0.45", "0.01", Widen(0.00001f), Widen(0.99999f)},
    {124, "&Scale*", "1.2", "1", "1.4", "0.1", Widen(0.00001f), 99999.0},
    {125, "&Scale* -  H0: Scale", "0", "-0.30", "0.30", "0.10", -99999.0, 99999.0},
    {126, "&Scale* / H0: Scale", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {127, "H&0: Scale 2 / Scale 1", "1", "0.5", "1.5", "0.1", Widen(0.00001f), 99999.0},
    {128, "&Scale 2* / Scale 1*", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {129, "H0: &Left Equivalence Limit", "0.80", "0.70", "0.90", "0.02", Widen(0.00001f), 99999.0},
    {130, "H0: &Right Equivalence Limit", "1.25", "1.10", "1.40", "0.02", Widen(0.00001f), 99999.0},
    {131, "H&0: Location", "0", "-0.30", "0.30", "0.05", -99999.0, 99999.0},
    {132, "L&ocation*", "0.30", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {133, "L&ocation*  -  H0:Location", "0.30", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {134, "L&ocation*  /  H0:Location", "1.30", "1.10", "1.50", "0.05", -99999.0, 99999.0},
    {135, "H0: &Left Equivalence Limit", "-0.40", "-0.50", "-0.30", "0.02", -99999.0, 99999.0},
    {136, "H0: &Right Equivalence Limit", "0.40", "0.30", "0.50", "0.02", -99999.0, 99999.0},
    {137, "&True Standard Deviation", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {138, "&True Std.Dev.2 / Std.Dev.1", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {139, "&Standard Deviation 1*", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {140, "Standard &Deviation 2*", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {141, "S&cale 2*", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {142, "H&0: Scale", "1", "0.5", "1.5", "0.1", Widen(0.00001f), 99999.0},
    {143, "Error &Level", "0.05", "0.001", "0.10", "0.01", Widen(0.00001f), Widen(0.99999f)},
    {145, "Relative &Width Of Interval", "1.0", "0.8", "1.2", "0.05", Widen(0.00001f), 99999.0},
    {146, "&Scale", "1", "0.5", "1.5", "0.1", Widen(0.00001f), 99999.0},
    {147, "&Max (Mean k - Mean 1)*", "0.10", "0.05", "0.15", "0.01", 0.0, 99999.0},
    {148, "&Min (Mean k - Mean 1)*", "0.10", "0.05", "0.15", "0.01", 0.0, 99999.0},
    {149, "Sample Size &k", "30", "10", "50", "2", 3.0, 99999.0},
    {150, "Sample Size &k - Sample Size 1", "0", "-50", "50", "5", -99999.0, 99999.0},
    {151, "Sample Size &k / Sample Size 1", "1.0", "0.5", "1.5", "0.1", Widen(0.00001f), 9999.0},
    {152, "P&rob (Sample2 > Sample1)*", "0.80", "0.70", "0.90", "0.02", Widen(0.00001f), Widen(0.99999f)},
    {153, "P&rob (Sample > 0)*", "0.80", "0.70", "0.90", "0.02", Widen(0.00001f), Widen(0.99999f)},
    {154, "Pr&ob (Sample + Sample' > 0)*", "0.80", "0.70", "0.90", "0.02", Widen(0.00001f), Widen(0.99999f)},
    {155, "Residual &Std.Dev.(elog scale)", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {156, "&Coefficient of Variation", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {157, "H&0: Mean of Difference", "0", "-0.30", "0.30", "0.05", -99999.0, 99999.0},
    {158, "&Mean of Difference*", "0.30", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {159, "&Mean of Diff.* - H0:Mean of Diff.", "0.30", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {160, "&Mean of Diff.* / H0:Mean of Diff.", "1.30", "1.10", "1.50", "0.05", -99999.0, 99999.0},
    {161, "H&0: Mean", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {162, "&Mean*", "0.50", "0.30", "0.70", "0.02", Widen(0.00001f), 99999.0},
    {163, "Sample Si&ze", "30", "10", "50", "2", 3.0, 99999.0},
    {164, "Sample Size &1", "30", "10", "50", "2", 3.0, 99999.0},
    {165, "Sample Size &2", "30", "10", "50", "2", 3.0, 99999.0},
    {166, "H0: &Left Equivalence Limit", "0.30", "0.10", "0.50", "0.05", Widen(0.00001f), 99999.0},
    {167, "H0: &Right Equivalence Limit", "0.70", "0.50", "0.90", "0.05", Widen(0.00001f), 99999.0},
    {168, "&Mean 1*", "0.50", "0.30", "0.70", "0.02", Widen(0.00001f), 99999.0},
    {169, "M&ean 2*", "0.70", "0.50", "0.90", "0.02", Widen(0.00001f), 99999.0},
    {170, "&Study Time", "10", "5", "15", "1", Widen(0.00001f), 99999.0},
    {171, "&Study Time 1", "10", "5", "15", "1", Widen(0.00001f), 99999.0},
    {172, "Study &Time 2", "10", "5", "15", "1", Widen(0.00001f), 99999.0},
    {173, "Study &Time 2 - Study Time 1", "0", "-50", "50", "5", -99999.0, 99999.0},
    {174, "Study &Time 2 / Study Time 1", "1.0", "0.5", "1.5", "0.1", Widen(0.00001f), 9999.0},
    {175, "&Mean", "0.50", "0.30", "0.70", "0.02", Widen(0.00001f), 99999.0},
    {176, "&Mean 1", "0.50", "0.30", "0.70", "0.02", Widen(0.00001f), 99999.0},
    {177, "M&ean 2", "0.70", "0.50", "0.90", "0.02", Widen(0.00001f), 99999.0},
    {178, "M&ean 2 - Mean 1", "0.30", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {179, "M&ean 2 / Mean 1", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {180, "&Hazard Rate", "0.50", "0.30", "0.70", "0.02", Widen(0.00001f), 99999.0},
    {181, "&Hazard Rate 1", "0.50", "0.30", "0.70", "0.02", Widen(0.00001f), 99999.0},
    {182, "H&azard Rate 2", "0.70", "0.50", "0.90", "0.02", Widen(0.00001f), 99999.0},
    {183, "H&azard Rate 2 - Hazard Rate 1", "0.30", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {184, "H&azard Rate 2 / Hazard Rate 1", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {185, "H&0: Correlation Coefficient", "0.30", "0.20", "0.40", "0.02", Widen(-0.99999f), Widen(0.99999f)},
    {186, "&Correlation Coefficient*", "0.50", "0.40", "0.60", "0.02", Widen(-0.99999f), Widen(0.99999f)},
    {187, "&Corr.Coeff.* - H0: Corr.Coeff.", "0.30", "0.20", "0.40", "0.05", Widen(-1.99999f),
     Widen(1.99999f)},
    {188, "&Corr.Coeff.* / H0: Corr.Coeff.", "1.30", "1.10", "1.50", "0.05", -99999.0, 99999.0},
    {189, "H&0: Corr.Coeff.2 - Corr.Coeff.1", "0", "-0.20", "0.20", "0.05", Widen(-1.99999f),
     Widen(1.99999f)},
    {190, "&Correlation Coefficient 1*", "0.30", "0.20", "0.40", "0.02", Widen(-0.99999f), Widen(0.99999f)},
    {191, "C&orrelation Coefficient 2*", "0.50", "0.40", "0.60", "0.02", Widen(-0.99999f), Widen(0.99999f)},
    {192, "C&orr.Coeff.2* - Corr.Coeff.1*", "0.30", "0.20", "0.40", "0.05", Widen(-1.99999f),
     Widen(1.99999f)},
    {193, " C&orr.Coeff.2* / Corr.Coeff.1*", "1.30", "1.10", "1.50", "0.05", -99999.0, 99999.0},
    {194, "H0: &Left Equivalence Limit", "0.30", "0.10", "0.50", "0.05", Widen(-1.99999f), Widen(1.99999f)},
    {195, "H0: &Right Equivalence Limit", "0.70", "0.50", "0.90", "0.05", Widen(-1.99999f), Widen(1.99999f)},
    {196, "Pop&ulation Size 1", "500", "200", "700", "20", 3.0, 99999.0},
    {197, "Population Si&ze 2", "500", "200", "700", "20", 3.0, 99999.0},
    {198, "Popul. Si&ze 2 - Popul. Size 1", "0", "-50", "50", "5", -99999.0, 99999.0},
    {199, "Popul. Si&ze 2 / Popul. Size 1", "1.0", "0.5", "1.5", "0.1", Widen(0.00001f), 9999.0},
    {200, "&Odds Ratio*", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {201, "&Number of Categories", "5", "3", "7", "1", 2.0, 99999.0},
    {202, "&Sum of Average Proportions^3", "0.30", "0.20", "0.40", "0.01", Widen(0.00001f), Widen(0.99999f)},
    {203, "H&0: Regression Coefficient", "0", "-0.30", "0.30", "0.05", -99999.0, 99999.0},
    {204, "R&egression Coefficient*", "0.30", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {205, "R&egr.Coeff.* - H0: Regr.Coeff.", "0.30", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {206, "R&egr.Coeff.* / H0: Regr.Coeff.", "1.30", "1.10", "1.50", "0.05", -99999.0, 99999.0},
    {207, "H&0: Regr.Coeff.2 - Regr.Coeff.1", "0", "-0.30", "0.30", "0.05", -99999.0, 99999.0},
    {208, "R&egression Coefficient 1*", "0.30", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {209, "Re&gression Coefficient 2*", "0.40", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {210, "Re&gr.Coeff.2* - Regr.Coeff.1*", "1.30", "1.10", "1.50", "0.05", -99999.0, 99999.0},
    {211, "Re&gr.Coeff.2* / Regr.Coeff.1*", "1.30", "1.10", "1.50", "0.05", -99999.0, 99999.0},
    {212, "Resid&ual Standard Deviation*", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {213, "&Std.Deviation for Covariate", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {214, "&Std.Deviation for Covariate 1", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {215, "Std.&Deviation for Covariate 2", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {216, "&Std.Deviation 1", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {217, "Std.&Deviation 2", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {218, "Std.&Dev. 2 - Std.Dev. 1", "0", "-0.30", "0.30", "0.10", -99999.0, 99999.0},
    {219, "Std.&Dev. 2 / Std.Dev. 1", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {220, "&Correlation Coefficient*", "0.30", "0.20", "0.40", "0.02", Widen(-0.99999f), Widen(0.99999f)},
    {221, "Std.&Dev.Cov.2 - Std.Dev.Cov.1", "0", "-0.30", "0.30", "0.10", -99999.0, 99999.0},
    {222, "Std.&Dev.Cov.2 / Std.Dev.Cov.1", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
    {223, "&Std.Dev. of Proportions*", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), Widen(0.99999f)},
    {224, "Average Sample Si&ze", "30", "10", "50", "2", 2.0, 99999.0},
    {225, "&Contrast Value*", "0.30", "0.10", "0.50", "0.05", -99999.0, 99999.0},
    {226, "&Weighted Mean of Prop. Diff*", "0.30", "0.20", "0.40", "0.05", Widen(-0.99999f), Widen(0.99999f)},
    {227, "&Std.Error of Weighted Mean*", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {228, "&No Of Tables", "3", "2", "5", "1", 2.0, 5.0},
    {229, "P&rob (Sample2 = Sample1)*", "0.10", "0.05", "0.20", "0.05", Widen(0.00001f), Widen(0.99999f)},
    {230, "&Correction for Ties", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {231, "Std.&Dev. 2* - Std.Dev. 1*", "0", "-0.30", "0.30", "0.10", -99999.0, 99999.0},
    {232, "&Number", "10", "5", "15", "1", 0.0, 99999.0},
    {233, "&Frequency 1", "10", "5", "15", "1", 0.0, 99999.0},
    {234, "F&requency 2", "10", "5", "15", "1", 0.0, 99999.0},
    {235, "F&requency 2 - Frequency 1", "0", "-50", "50", "5", -99999.0, 99999.0},
    {236, "F&requency 2 / Frequency 1", "1.0", "0.5", "1.5", "0.1", Widen(0.00001f), 9999.0},
    {237, "&No of Events 1", "30", "10", "50", "2", 3.0, 99999.0},
    {238, "No &of Events 2", "30", "10", "50", "2", 3.0, 99999.0},
    {239, "No &of Events 2 - Events 1", "0", "-50", "50", "5", -99999.0, 99999.0},
    {240, "No &of Events 2 / Events 1", "1.0", "0.5", "1.5", "0.1", Widen(0.00001f), 9999.0},
    {241, "&Shape 1* (Std.Dev. on elog scale)", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {242, "S&hape 2* (Std.Dev. on elog scale)", "0.30", "0.20", "0.40", "0.02", Widen(0.00001f), 99999.0},
    {243, "S&hape 2* - Shape 1*", "0", "-0.30", "0.30", "0.10", -99999.0, 99999.0},
    {244, "S&hape 2* / Shape 1*", "1.20", "1.10", "1.30", "0.05", Widen(0.00001f), 99999.0},
};

}  // namespace

CatalogueEntry::CatalogueEntry() {
  // An id no procedure lists: no caption, no limits.
  static const CatalogueConstants kNone;
  constants_ = &kNone;
}

const Catalogue& BuildCatalogue() {
  // Built once, never changed: the constants first, then the entries that
  // point to them.
  static const std::array<CatalogueConstants, kCatalogueSize> constants = [] {
    std::array<CatalogueConstants, kCatalogueSize> c{};
    for (const Row& r : kRows) c[r.id] = {r.caption, r.lower, r.upper};
    return c;
  }();
  static const Catalogue startUp = [] {
    Catalogue c{};
    for (const Row& r : kRows) {
      CatalogueEntry e(constants[r.id]);
      e.ParamText = r.initial;
      e.TableMin = r.tableMin;
      e.TableMax = r.tableMax;
      e.TableStep = r.tableStep;
      c[r.id] = std::move(e);
    }
    return c;
  }();
  return startUp;
}

const std::array<std::string, kOptionCount>& OptionCaptions() {
  static const std::array<std::string, kOptionCount> captions = {
      "&Degrees Of Freedom",      "&Continuity Correction",
      "Arc Si&ne Transformation", "I&ncidence",
      "&Number of Events",        "&No Of Groups In ANOVA",
      "&Non-Parametric Analysis", "&Exact Calculation",
      "&Ordered Categories",      "Analysis of &Contrast",
      "&Std.Deviation for Diff.", "&Residual Std.Deviation",
      "&Unequal Std.Deviations",  "&Frequencies",
      "&Unequal Shapes"};
  return captions;
}

const std::array<ParameterGroup, kGroupCount>& ParameterGroups() {
  static const std::array<ParameterGroup, kGroupCount> groups = {{
      {"Estimate", {"Mean*", "Mean* - H0:Mean", "Mean* / H0:Mean"}, 0},                // 0
      {"Estimate", {"Mean 2*", "Mean 2* - Mean 1*", "Mean 2* / Mean 1*"}, 0},          // 1
      {"", {"Sample Size 2", "Size 2 - Size 1", "Size 2 / Size 1"}, 0},                // 2
      {"Estimate", {"Std.Deviation*", "StDev*- H0:StDev", "StDev*/ H0:StDev"}, 0},     // 3
      {"Estimate", {"Hazard Rate*", "Haz.*- H0:Haz.", "Haz.*/ H0:Haz."}, 0},           // 4
      {"Estimate", {"Hazard Rate 2*", "Haz.2* - Haz.1*", "Haz.2* / Haz.1*"}, 0},       // 5
      {"Estimate", {"Incidence*", "Inc.*- H0:Inc.", "Inc.*/ H0:Inc."}, 0},             // 6
      {"Estimate", {"Incidence 2*", "Inc.2* - Inc.1*", "Inc.2* / Inc.1*"}, 0},         // 7
      {"", {"Loss Rate 2", "Loss 2 - Loss 1", "Loss 2 / Loss 1"}, 0},                  // 8
      {"Estimate", {"Median*", "Med.*- H0:Med.", "Med.*/ H0:Med."}, 0},                // 9
      {"Estimate", {"Median 2*", "Med.2*/Med.1*", ""}, 0},                             // 10
      {"Estimate", {"Proportion*", "Prop.*- H0:Prop.", "Prop.*/ H0:Prop"}, 0},         // 11
      {"Estimate", {"Proportion 2*", "Prop.2* - Prop.1*", "Prop.2* / Prop.1*"}, 0},    // 12
      {"Estimate", {"Std.Deviation 2*", "StDev2*/ StDev1*", ""}, 0},                   // 13
      {"Estimate", {"Location*", "Loc.*- H0:Loc.", "Loc.*/ H0:Loc."}, 0},              // 14
      {"Estimate", {"Scale*", "Scal.*- H0:Scal.", "Scal.*/ H0:Scal."}, 0},             // 15
      {"Estimate", {"Scale 2*", "Scale2* / Scale1*", ""}, 0},                          // 16
      {"Estimate", {"Std.Dev of Means*", "Max (Mean k - 1)", "Min (Mean k - 1)"}, 0},  // 17
      {"", {"Sample Size k", "Size k - Size 1", "Size k / Size 1"}, 0},                // 18
      {"Estimate", {"Std. Deviation*", "Coeff.of Variation*", ""}, 0},                 // 19
      {"Estimate", {"Proportion 11*", "Prop.10*+Prop.01*", ""}, 0},                    // 20
      {"Estimate", {"Mean of Diff.*", "Mean*-H0:Mean", "Mean*/H0:Mean"}, 0},           // 21
      {"", {"Study Time 2", "Time 2 - Time 1", "Time 2 / Time 1"}, 0},                 // 22
      {"Estimate", {"Correl. Coeff.*", "Corr.*-H0:Corr.", "Corr.*/H0:Corr."}, 0},      // 23
      {"Estimate", {"Corr. Coeff.2*", "Corr.2* - Corr.1*", "Corr.2* / Corr.1*"}, 0},   // 24
      {"", {"Population Size 2", "Popul.2 - Popul.1", "Popul.2 / Popul.1"}, 0},        // 25
      {"Estimate", {"Diff. Aver.Prop.*", "Equal Aver.Prop.*", ""}, 1},                 // 26
      {"Estimate", {"Regress.Coeff.*", "Regr.*-H0:Regr.", "Regr.*/H0:Regr."}, 0},      // 27
      {"Estimate", {"Regr. Coeff.2*", "Regr.2* - Regr.1*", "Regr.2* / Regr.1*"}, 0},   // 28
      {"", {"Std.Deviation 2", "StDev2 - StDev1", "StDev2 / StDev1"}, 0},              // 29
      {"Estimate", {"Loss Inc.2*", "Loss2* - Loss1*", "Loss2* / Loss1*"}, 0},          // 30
      {"", {"Shape 2", "Shape2 - Shape1", "Shape2 / Shape1"}, 0},                      // 31
      {"Conf.Interval", {"Lower Limit", "Upper Limit", "Width"}, 0},                   // 32
      {"", {"Std.Deviation 2*", "StDev2*-StDev1*", "StDev2*/StDev1*"}, 0},             // 33
      {"", {"Frequency 2", "Freq.2 - Freq.1", "Freq.2 / Freq.1"}, 0},                  // 34
      {"", {"Event 2", "Event2 - Event1", "Event2 / Event1"}, 0},                      // 35
      {"", {"Shape 2*", "Shape2*-Shape1*", "Shape2*/Shape1*"}, 0},                     // 36
  }};
  return groups;
}

}  // namespace pelmora
