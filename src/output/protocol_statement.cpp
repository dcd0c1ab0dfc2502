#include "output/protocol_statement.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/achieved_power.h"
#include "engine/value_texts.h"
#include "format/number_entry.h"
#include "format/number_format.h"
#include "session/catalogue.h"
#include "session/procedure_table.h"
#include "session/session.h"

namespace pelmora {

namespace {

// ---- Words ------------------------------------------------------------------

// The abbreviations of captions as a sentence spells them out.
constexpr std::array<std::pair<std::string_view, std::string_view>, 12> kSpelledOut = {{
    {"Std.Dev.(elog scale)", "standard deviation on the log scale"},
    {"Std. Dev. on elog scale", "standard deviation on the log scale"},
    {"Std.Dev. on elog scale", "standard deviation on the log scale"},
    {"Std.Deviation", "standard deviation"},
    {"Std.Dev.", "standard deviation"},
    {"Std.Error", "standard error"},
    {"Regr.Coeff.", "regression coefficient"},
    {"Prop. Diff", "proportion difference"},
    {"Prob (", "probability ("},
    {"No Of ", "number of "},
    {"Number of ", "number of "},
    {"Sample2 > Sample1", "sample 2 > sample 1"},
}};

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// A caption as a phrase of a sentence: without "*" and "H0:", abbreviations
// spelled out, in lower case.
std::string Phrase(std::string caption) {
  std::erase(caption, '*');
  if (caption.starts_with("H0:")) caption.erase(0, 3);
  while (!caption.empty() && caption.front() == ' ') caption.erase(0, 1);
  for (const auto& [from, to] : kSpelledOut)
    for (std::size_t at = caption.find(from); at != std::string::npos; at = caption.find(from, at + to.size()))
      caption.replace(at, from.size(), to);
  // "a  b" where a removed mark left two blanks.
  for (std::size_t at = caption.find("  "); at != std::string::npos; at = caption.find("  ")) caption.erase(at, 1);
  return Lower(caption);
}

std::string WithArticle(const std::string& phrase) {
  // A vowel sound: "an assumed", "an 80% ...", "an 18% ...".
  const bool vowel = !phrase.empty() && (std::string_view("aeiou8").find(phrase.front()) != std::string_view::npos ||
                                         phrase.starts_with("11") || phrase.starts_with("18"));
  return (vowel ? "an " : "a ") + phrase;
}

std::string Number(double v) { return PlainNumber(v, 6); }

std::string Percent(double proportion) { return FormatPattern(proportion * 100, "0.0") + "%"; }

std::string JoinedWith(const std::vector<std::string>& parts, const std::string& separator) {
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : separator) + p;
  return out;
}

// ---- The listed parameters by role ----------------------------------------

struct Listed {
  std::string caption;  // without "&"
  std::string value;    // as a sentence writes it
  double number = 0;
};

bool IsSampleSize(std::int16_t id) {
  const auto in = [id](const auto& ids) { return std::find(std::begin(ids), std::end(ids), id) != std::end(ids); };
  return in(param::kSingleSampleSizes) || in(param::kFirstSampleSizes) || in(param::kSecondSampleSizes) ||
         id == param::SecondSampleSizeDifference || id == param::SecondSampleSizeRatio;
}

// The parameters of a design apart from its level, the requested power and
// the sample sizes: the assumed values (starred), the values under the null
// hypothesis and the values the design holds fixed.
struct DesignValues {
  Listed level;
  std::vector<Listed> assumed, null, fixed;
};

DesignValues ValuesOf(const Session& s) {
  DesignValues v;
  for (int p = 0; p <= s.LastPosition; ++p) {
    if (p == 1) continue;
    const std::int16_t id = s.ParameterList[static_cast<std::size_t>(p)];
    Listed item{CaptionAt(s, p), p == s.UnknownPosition ? s.entryAt(p).ParamText : Number(s.value(p)), s.value(p)};
    if (p == 0)
      v.level = std::move(item);
    else if (id == param::Power || IsSampleSize(id))
      continue;
    else if (item.caption.starts_with("H0:"))
      v.null.push_back(std::move(item));
    else if (item.caption.find('*') != std::string::npos)
      v.assumed.push_back(std::move(item));
    else
      v.fixed.push_back(std::move(item));
  }
  return v;
}

// Two assumed values of one kind, "Mean 1*" and "Mean 2*".
struct AssumedPair {
  std::string stem;  // "mean"
  std::size_t first = 0, second = 0;
};

std::optional<AssumedPair> PairOf(const std::vector<Listed>& assumed) {
  const auto stemOf = [](const Listed& l, char digit) -> std::optional<std::string> {
    std::string c = l.caption;
    std::erase(c, '*');
    if (c.size() < 3 || c.back() != digit || c[c.size() - 2] != ' ') return std::nullopt;
    return c.substr(0, c.size() - 2);
  };
  for (std::size_t i = 0; i < assumed.size(); ++i)
    for (std::size_t j = 0; j < assumed.size(); ++j) {
      const auto a = stemOf(assumed[i], '1'), b = stemOf(assumed[j], '2');
      if (a && b && *a == *b) return AssumedPair{Phrase(*a), i, j};
    }
  return std::nullopt;
}

// Kinds of value whose two groups are compared by their ratio.
bool ComparedByRatio(const std::string& stem) {
  return stem == "hazard rate" || stem == "median" || stem == "scale" || stem == "standard deviation";
}

// A null value that says no more than "no difference" or "no change".
bool PlainNull(const Listed& l) {
  const bool difference = l.caption.find(" - ") != std::string::npos || l.caption.find("Difference") != std::string::npos;
  const bool ratio = l.caption.find(" / ") != std::string::npos;
  return (difference && l.number == 0) || (ratio && l.number == 1);
}

bool IsEquivalenceLimit(const Listed& l) { return l.caption.find("Equivalence Limit") != std::string::npos; }

// ---- Sizes --------------------------------------------------------------------

// "A sample size of 64 per group (128 in all)", "Sample sizes of 40 and 80
// (120 in all)", "A sample size of 30", or "This design" without sizes; and
// whether the subject is plural.
std::pair<std::string, bool> SizeClause(const Session& s) {
  const WholeSizes& whole = s.AchievedPower.whole;
  WholeSizes sizes = whole.sizes.empty() ? ListedSampleSizes(s) : whole;
  // A solved size is stated whole (a test has its whole sizes already).
  const bool solved = !whole.sizes.empty() || IsSampleSize(s.ParameterList[static_cast<std::size_t>(s.UnknownPosition)]);
  if (whole.sizes.empty() && solved && !sizes.sizes.empty()) {
    double listed = 0;
    for (double n : sizes.sizes) listed += n;
    const double further = sizes.sizes.back() > 0 ? (sizes.total - listed) / sizes.sizes.back() : 0;
    sizes.total = 0;
    for (double& n : sizes.sizes) {
      n = std::ceil(n - 1e-6 * std::max(1.0, n));
      sizes.total += n;
    }
    sizes.total += further * sizes.sizes.back();
  }
  if (sizes.sizes.empty()) return {"This design", false};
  const auto text = [solved](double n) { return solved ? FormatPattern(n, "0") : Number(n); };
  const std::vector<double>& n = sizes.sizes;
  const bool equal = std::all_of(n.begin(), n.end(), [&](double x) { return x == n.front(); });
  if (equal && (n.size() > 1 || sizes.total != n.front()))
    return {"A sample size of " + text(n.front()) + " per group (" + text(sizes.total) + " in all)", false};
  if (n.size() == 1) return {"A sample size of " + text(n.front()), false};
  std::vector<std::string> parts;
  for (double x : n) parts.push_back(text(x));
  std::string clause = "Sample sizes of " + parts.front();
  for (std::size_t i = 1; i < parts.size(); ++i) clause += (i + 1 == parts.size() ? " and " : ", ") + parts[i];
  return {clause + " (" + text(sizes.total) + " in all)", true};
}

// " To allow for an expected dropout of 10%, 72 per group (144 in all) are
// to be recruited."; empty without a dropout.
std::string DropoutSentence(const WholeSizes& w) {
  if (w.recruit.empty()) return {};
  const std::vector<double>& r = w.recruit;
  const bool equal = std::all_of(r.begin(), r.end(), [&](double x) { return x == r.front(); });
  std::string sizes;
  if (equal && (r.size() > 1 || w.recruitTotal != r.front()))
    sizes = FormatPattern(r.front(), "0") + " per group (" + FormatPattern(w.recruitTotal, "0") + " in all) are";
  else if (r.size() == 1)
    sizes = FormatPattern(r.front(), "0") + (r.front() == 1 ? " is" : " are");
  else
    sizes = SizesText(r, w.recruitTotal) + " are";
  return " To allow for an expected dropout of " + FormatPattern(w.dropout * 100, "0.#") + "%, " + sizes +
         " to be recruited.";
}

std::string InterimSentence(const std::optional<SequentialSummary>& q) {
  if (!q || q->looks.size() < 2) return {};
  const std::size_t interims = q->looks.size() - 1;
  std::string text = " The study has " + std::to_string(interims) +
                     (interims == 1 ? " interim analysis" : " interim analyses") + " and a final one, with " +
                     q->boundary + " efficacy bounds";
  if (q->futility != "None")
    text += std::string(" and ") + (q->binding ? "binding " : "non-binding ") + q->futility + " futility bounds";
  text += "; it needs at most " + FormatPattern(q->total, "0") + " subjects, " + FormatPattern(q->expectedH1, "0.0") +
          " expected under the assumed values and " + FormatPattern(q->expectedH0, "0.0") +
          " under the null hypothesis.";
  return text;
}

// ---- What is tested or estimated ----------------------------------------------

// The subject of the description: "Mean (Std.Dev. known)" of "Normal
// Distribution. Test of Mean (Std.Dev. known). 2-sided."
std::string DescribedSubject(const std::string& description, std::string_view after) {
  const std::size_t at = description.find(after);
  if (at == std::string::npos) return {};
  const std::size_t start = at + after.size();
  // The subject ends at a full stop outside brackets that ends a sentence
  // (not the stop of an abbreviation such as "Std.Dev. (mean known)").
  int depth = 0;
  std::size_t end = start;
  for (; end < description.size(); ++end) {
    const char c = description[end];
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (c != '.' || depth > 0) continue;
    if (end + 1 >= description.size()) break;
    if (description[end + 1] == ' ' && description.compare(end + 1, 2, " (") != 0) break;
  }
  return description.substr(start, end - start);
}

std::string DistributionName(const std::string& description) {
  return Lower(description.substr(0, description.find('.')));
}

// The name of a test procedure as a sentence says it.
std::string TestName(Procedure p) {
  switch (p) {
    case Procedure::Anova: return "a one-way analysis of variance";
    case Procedure::ChiSquare2x2: return "the chi-square test of a 2 x 2 table";
    case Procedure::ChiSquareHomogeneity: return "the chi-square homogeneity test";
    case Procedure::LifeTable: return "the Mantel-Haenszel life-table test";
    case Procedure::SurvivalAnalysis: return "the survival analysis test";
    case Procedure::WilcoxonRankSum: return "the Wilcoxon rank-sum test";
    case Procedure::WilcoxonSignedRank: return "the Wilcoxon signed-rank test";
    case Procedure::Sign: return "the sign test";
    case Procedure::Bioequivalence: return "the bioequivalence test";
    case Procedure::CorrelationCoefficient: return "the test of correlation coefficients";
    case Procedure::RegressionCoefficient: return "the test of regression coefficients";
    default: return ProcedureName(p);
  }
}

std::string TestOf(const Session& s) {
  if (s.IsTestProcedure != kFalse) {
    const std::optional<Procedure> p = SelectedProcedure(s);
    return p ? TestName(*p) : Lower(s.Description);
  }
  return "a test of the " + Phrase(DescribedSubject(s.Description, "Test of ")) + " of the " +
         DistributionName(s.Description);
}

std::string SidedLevel(const Session& s, const std::string& level) {
  if (s.TailCount == 3) return "as two one-sided tests at a significance level of " + level + " each";
  return std::string("at a ") + (s.TailCount == 1 ? "one-sided" : "two-sided") + " significance level of " + level;
}

// The effect a test looks for, without its article, and the values that
// describe it in brackets.
std::pair<std::string, std::vector<std::string>> EffectOf(const Session& s, const DesignValues& v) {
  std::vector<std::string> described;
  std::string effect;
  const std::optional<AssumedPair> pair = PairOf(v.assumed);
  if (pair) {
    const Listed &a = v.assumed[pair->first], &b = v.assumed[pair->second];
    described.push_back(pair->stem + "s " + a.value + " and " + b.value);
    if (ComparedByRatio(pair->stem))
      effect = "ratio of " + pair->stem + "s of " + (a.number != 0 ? Number(b.number / a.number) : "-");
    else
      effect = "difference in " + pair->stem + "s of " + Number(b.number - a.number);
  }
  const bool twoGroups = pair || ListedSampleSizes(s).sizes.size() > 1;
  for (std::size_t i = 0; i < v.assumed.size(); ++i) {
    if (pair && (i == pair->first || i == pair->second)) continue;
    const std::string phrase = Phrase(v.assumed[i].caption);
    if (effect.empty()) {
      effect = phrase + " of " + v.assumed[i].value;
      continue;
    }
    const bool common = twoGroups && phrase.find("standard deviation") == 0;
    described.push_back((common ? "common " : "") + phrase + " " + v.assumed[i].value);
  }
  std::vector<std::string> limits;
  for (const Listed& n : v.null) {
    if (s.TailCount == 3 && IsEquivalenceLimit(n)) {
      limits.push_back(n.value);
    } else if (!PlainNull(n)) {
      described.push_back(Phrase(n.caption) + " under the null hypothesis " + n.value);
    }
  }
  if (s.TailCount == 3 && limits.size() == 2)
    effect = "equivalence within the limits " + limits[0] + " and " + limits[1];
  if (effect.empty()) effect = "the assumed effect";
  for (const Listed& f : v.fixed) described.push_back(Phrase(f.caption) + " " + f.value);
  return {effect, described};
}

std::string TestStatement(const Session& s) {
  const DesignValues v = ValuesOf(s);
  const DesignPower& p = s.AchievedPower;
  const auto [subject, plural] = SizeClause(s);
  auto [effect, described] = EffectOf(s, v);
  std::string brackets = JoinedWith(described, ", ");
  if (p.effect) {
    const std::string standardised =
        "standardised effect " + p.effect->name + " = " + FormatPattern(p.effect->value, "0.00");
    brackets += (brackets.empty() ? "" : "; ") + standardised;
  }
  if (!brackets.empty()) brackets = " (" + brackets + ")";
  const bool byPower = PlansByPower(s) && s.LastPosition >= 2 && s.ParameterList[2] == param::Power && p.power;
  std::string text = subject;
  if (byPower) {
    const double power = p.whole.power ? *p.whole.power : *p.power;
    text += std::string(plural ? " give" : " gives") + " a power of " + Percent(power) + " to " +
            (s.TailCount == 3 ? "show " + effect : "detect " + WithArticle(effect)) + brackets;
  } else {
    text += std::string(plural ? " make" : " makes") + " an assumed " + effect + brackets + " just significant";
  }
  text += " with " + TestOf(s) + " " + SidedLevel(s, v.level.value) + ".";
  return text + DropoutSentence(p.whole) + InterimSentence(p.sequential);
}

// The precision a design of an estimate or an interval asks for.
bool IsPrecision(const Listed& l) {
  static constexpr std::array<std::string_view, 6> kWords = {"Error", "Limit", "Width", "Precision", "Distance",
                                                             "Prob ("};
  return std::any_of(kWords.begin(), kWords.end(),
                     [&](std::string_view w) { return l.caption.find(w) != std::string::npos; });
}

std::string EstimateStatement(const Session& s) {
  const DesignValues v = ValuesOf(s);
  const auto [subject, plural] = SizeClause(s);
  const bool interval = s.ProcedureKind == 2;
  const std::string estimated =
      Phrase(DescribedSubject(s.Description, interval ? "Conf. Interval for " : "Point Estimate of "));
  std::vector<std::string> precision, described;
  for (const Listed& a : v.assumed) described.push_back("assumed " + Phrase(a.caption) + " " + a.value);
  for (const Listed& f : v.fixed) {
    if (IsPrecision(f))
      precision.push_back(Phrase(f.caption) + " of " + f.value);
    else
      described.push_back(Phrase(f.caption) + " " + f.value);
  }
  std::string text = subject;
  const std::string distribution = DistributionName(s.Description);
  if (interval) {
    const bool proportion = v.level.number > 0 && v.level.number < 1;
    const std::string level = proportion ? FormatPattern(v.level.number * 100, "0.###") + "%" : v.level.value;
    text += std::string(plural ? " give " : " gives ") +
            WithArticle(level + (s.TailCount == 1 ? " one-sided" : " two-sided") + " confidence interval") +
            " for the " + estimated + " of the " + distribution;
  } else {
    text += std::string(plural ? " estimate" : " estimates") + " the " + estimated + " of the " + distribution +
            " at an error level of " + v.level.value;
  }
  for (std::size_t i = 0; i < precision.size(); ++i)
    text += (i == 0 ? " with " : " and ") + WithArticle(precision[i]);
  if (!described.empty()) text += " (" + JoinedWith(described, ", ") + ")";
  return text + "." + DropoutSentence(s.AchievedPower.whole);
}

}  // namespace

std::string ProtocolStatement(const Session& s) {
  if (s.LastPosition < 2 || s.Description.empty() || !IsWellFormedNumber(s.entryAt(s.UnknownPosition).ParamText))
    return {};
  const bool test = s.IsTestProcedure != kFalse || s.ProcedureKind == 0;
  return test ? TestStatement(s) : EstimateStatement(s);
}

}  // namespace pelmora
