#!/usr/bin/env python3
"""The seeded-fault check: how many plausible faults do the tests find?

Copies the program to a scratch folder, then applies a fixed list of small
faults one at a time (a flipped comparison, an off-by-one in a count or a
degree of freedom, a wrong constant, a dropped continuity correction, swapped
tails, ...), rebuilds incrementally, runs the tests and prints for each fault
whether a test failed ("caught", with the first failing test) or not
("missed"), then "caught N of M".

A fault whose snippet is not found exactly once, or whose program does not
compile, is reported as such and makes the check exit with 1: the list has to
be kept in step with the code.  A run takes minutes; it is a tool for
developers, not a part of ./test.sh.

    scripts/seeded-faults.py                 every fault
    scripts/seeded-faults.py NAME...         only these faults
    scripts/seeded-faults.py --list          the faults, one a line
    scripts/seeded-faults.py --check         only that every snippet occurs once

The scratch copy (default /tmp/pelmora-seeded-faults) keeps its build folder
between runs, so that later runs rebuild only what changed.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent  # the tree copied; --source names another


@dataclass(frozen=True)
class Fault:
    name: str
    file: str  # under src/
    old: str  # occurs exactly once in the file
    new: str
    what: str


FAULTS = [
    # ---- numeric routines -------------------------------------------------
    Fault("normal-upper-swapped-tails", "numeric/distributions.cpp",
          "p = z < 0 ? ToSingle(1.0 - upper) : upper;",
          "p = z < 0 ? upper : ToSingle(1.0 - upper);",
          "the upper normal tail of z gives that of -z"),
    Fault("normal-level-constant", "numeric/distributions.cpp",
          "{0.01f, 2.32635f}", "{0.01f, 2.32653f}",
          "the tabulated 1 % normal quantile has two digits swapped"),
    Fault("normal-quantile-coefficient", "numeric/distributions.cpp",
          "(2.515517 + 0.802853 * t + 0.010328 * t * t)",
          "(2.515517 + 0.802853 * t + 0.010328 * t)",
          "a power of t dropped in the rational normal quantile"),
    Fault("chisq-cdf-branch-off-by-one", "numeric/distributions.cpp",
          "if (df <= 21) return FCdf(", "if (df < 21) return FCdf(",
          "the chi-square at 21 degrees of freedom takes Wilson-Hilferty"),
    Fault("chisq-upper-series-short", "numeric/distributions.cpp",
          "for (; k <= df - 1; k += 2) {", "for (; k < df - 2; k += 2) {",
          "the upper chi-square series stops one term early"),
    Fault("chisq-upper-wilson-threshold", "numeric/distributions.cpp",
          "} else if (df > 40) {", "} else if (df > 20) {",
          "the upper chi-square takes Wilson-Hilferty from 21 degrees of freedom"),
    Fault("f-cdf-paulson-condition", "numeric/distributions.cpp",
          "(df1 > 100 || df2 > 100)", "(df1 > 100 && df2 > 100)",
          "Paulson's F approximation only when both df exceed 100"),
    Fault("f-quantile-df-cap", "numeric/distributions.cpp",
          "df1 = std::min(df1, 999.0f);", "df1 = std::min(df1, 99.0f);",
          "the F quantile caps the numerator df at 99"),
    Fault("bisection-tolerance", "numeric/distributions.cpp",
          "<= 1e-5 * m));", "<= 1e-3 * m));",
          "the quantile bisection stops a hundred times too early"),
    Fault("exponential-cdf-scale", "numeric/distributions.cpp",
          "- location) / scale)));", "- location) * scale)));",
          "the exponential distribution multiplies by its scale"),
    Fault("binomial-point-off-by-one", "numeric/discrete.cpp",
          "term = term * (pd / q) * (n - i + 1) / i;", "term = term * (pd / q) * (n - i) / i;",
          "a binomial point probability with n - i for n - i + 1"),
    Fault("hyper-point-off-by-one", "numeric/discrete.cpp",
          "/ ((i + 1.0) * (total - i));", "/ ((i + 1.0) * (total - i - 1));",
          "a ratio of the hypergeometric point probability divides by one unit too few"),
    Fault("hyper-cdf-complement-off-by-one", "numeric/discrete.cpp",
          "HyperCdf(b, a, n, Sub16(rest, 1))", "HyperCdf(b, a, n, rest)",
          "the complementary hypergeometric count is one too high"),
    Fault("poisson-term-off-by-one", "numeric/discrete.cpp",
          "term = term * lambda / i;", "term = term * lambda / (i + 1);",
          "a Poisson term divides by (i + 1)"),
    Fault("fisher-lower-tail-strict", "numeric/fisher.cpp",
          "if (k <= x) lower += wk;", "if (k < x) lower += wk;",
          "the lower Fisher tail leaves out the observed table"),
    Fault("fisher-ties-dropped", "numeric/fisher.cpp",
          "const double observed = w(x) * kTieTolerance;", "const double observed = w(x) / kTieTolerance;",
          "tables as probable as the observed one fall out of the two-sided sum"),
    Fault("pvalue-left-tail-ignored", "numeric/power_equations.cpp",
          "return sides.RejectInLeftTail != kFalse ? F(t) : 1.0f - F(t);", "return 1.0f - F(t);",
          "the t P-value ignores the left-tail flag"),
    Fault("pvalue-z-correction-sign", "numeric/power_equations.cpp",
          "return 1.0f - NormalCdf((x - null - cc) / se);",
          "return 1.0f - NormalCdf((x - null + cc) / se);",
          "the one-sided continuity correction moves the statistic away from the null"),
    Fault("pvalue-z-two-sided-no-correction", "numeric/power_equations.cpp",
          "std::max(std::fabs(x - null) - cc, 0.0f)", "std::fabs(x - null)",
          "the two-sided z P-value drops its continuity correction"),
    Fault("pvalue-ratio-scale", "numeric/power_equations.cpp",
          "const Single v = F(std::fabs(x) / scale);", "const Single v = F(std::fabs(x) * scale);",
          "the two-sided ratio P-value multiplies by the null ratio"),
    Fault("pvalue-poisson-fraction", "numeric/power_equations.cpp",
          "return (1.0f - f) * PoissonPointReal(whole, m)", "return f * PoissonPointReal(whole, m)",
          "the upper Poisson tail takes the wrong share of a fractional count"),
    Fault("pvalue-equivalence-swapped-se", "numeric/power_equations.cpp",
          "(x - left - cc) / seLeft), NormalCdf((x - right + cc) / seRight)",
          "(x - left - cc) / seRight), NormalCdf((x - right + cc) / seLeft)",
          "the two one-sided z tests swap their standard errors"),
    # ---- test procedures ----------------------------------------------------
    Fault("binomial-exact-upper-off-by-one", "procedures/hypothesis/proportions.cpp",
          "return 1 - BinomialCdfReal(n, x - 1, p0);", "return 1 - BinomialCdfReal(n, x, p0);",
          "the exact upper binomial P-value leaves out the observed count"),
    Fault("two-proportion-pooled-se", "procedures/hypothesis/proportions.cpp",
          "const Single p = (n1 * p1 + n2 * p2) / (n1 + n2);", "const Single p = (p1 + p2) / 2;",
          "the pooled proportion ignores the sample sizes"),
    Fault("one-proportion-correction", "procedures/hypothesis/binomial_proportions.cpp",
          "z.cc = continuity_ ? 1 / (2 * n) : 0.0f;",
          "z.cc = continuity_ ? 1 / n : 0.0f;",
          "the continuity correction of one proportion is 1/n"),
    Fault("one-proportion-arcsine-se", "procedures/hypothesis/binomial_proportions.cpp",
          "z.se = 1 / (2 * std::sqrt(n));", "z.se = 1 / std::sqrt(n);",
          "the arc-sine standard error of one proportion is doubled"),
    Fault("chi2x2-correction-dropped", "procedures/hypothesis/chi_square_2x2.cpp",
          "z.cc = continuityCorrection_ ? (1 / a.n1 + 1 / a.n2) / 2 : 0.0f;",
          "z.cc = 0.0f;",
          "the chi-square test of a 2 x 2 table drops its continuity correction"),
    Fault("mcnemar-swapped-cell", "procedures/hypothesis/mcnemar.cpp",
          "x = n * (discordant + difference) / 2;",
          "x = n * (discordant - difference) / 2;",
          "McNemar's test counts the other discordant cell"),
    Fault("fisher-test-swapped-tails", "procedures/hypothesis/fisher_exact.cpp",
          "left ? p2 <= p1 : p2 > p1;", "left ? p2 > p1 : p2 <= p1;",
          "the one-sided Fisher test takes the tail of the other direction"),
    Fault("t-unpaired-df", "procedures/hypothesis/student_t.cpp",
          "df = n1 + n2 - 2;", "df = n1 + n2 - 1;",
          "the unpaired t-test has one degree of freedom too many"),
    Fault("t-welch-df-floor-dropped", "procedures/hypothesis/student_t.cpp",
          "t.df = MaxOf(t.df, 1.0f);\n    }\n    if (dfGiven_)", "}\n    if (dfGiven_)",
          "Satterthwaite's degrees of freedom may fall below 1"),
    Fault("z-two-sample-se-swapped", "procedures/hypothesis/normal_z.cpp",
          "return std::sqrt(sd2 * sd2 / n2 + sd1 * sd1 / n1);", "return std::sqrt(sd2 * sd2 / n1 + sd1 * sd1 / n2);",
          "the z test of two means divides each variance by the other sample's size"),
    Fault("sd-test-mean-known-df", "procedures/hypothesis/standard_deviation.h",
          "return meanKnown_ ? n : n - 1;", "return n - 1;",
          "the chi-square test of a standard deviation loses a df although the mean is known"),
    Fault("exponential-scale-df", "procedures/hypothesis/exponential_survival.h",
          "return locationUnknown_ ? 2 * (n - 1) : 2 * n;", "return locationUnknown_ ? 2 * n - 1 : 2 * n;",
          "the scale test with the location unknown has 2n - 1 degrees of freedom"),
    Fault("exponential-location-scale", "procedures/hypothesis/exponential_survival.cpp",
          "const Single scale = at(scale_) / at(n_);", "const Single scale = at(scale_);",
          "the sample minimum keeps the scale of one observation"),
    Fault("rank-sum-null", "procedures/hypothesis/wilcoxon_rank_sum.cpp",
          "null = n2 * (n1 + n2 + 1) / 2;", "null = n1 * (n1 + n2 + 1) / 2;",
          "the null rank sum is that of sample 1"),
    Fault("signed-rank-variance", "procedures/hypothesis/wilcoxon_signed_rank.cpp",
          "(2 * n + 1) / 24);", "(2 * n + 1) / 12);",
          "the signed-rank variance is doubled"),
    Fault("sign-test-se", "procedures/hypothesis/sign.cpp",
          "pValue = PValueZ(sides, n * p, n / 2, std::sqrt(n / 4)", "pValue = PValueZ(sides, n * p, n / 2, std::sqrt(n / 2)",
          "the sign test's standard error is that of n/2 trials"),
    Fault("log-rank-se", "procedures/hypothesis/log_rank.cpp",
          "std::sqrt(1.0f / (h2 * t2) + 1.0f / (h1 * t1));", "std::sqrt(1.0f / (h1 * t2) + 1.0f / (h2 * t1));",
          "the log-rank standard error pairs each rate with the other time at risk"),
    Fault("homogeneity-df", "procedures/hypothesis/chi_square_homogeneity.cpp",
          "const Single df = (r - 1) * (c - 1);", "const Single df = r * (c - 1);",
          "the chi-square test of homogeneity counts r (c - 1) degrees of freedom"),
    Fault("anova-residual-df", "procedures/hypothesis/anova.cpp",
          "a.dfResidual = total - a.k;", "a.dfResidual = total - 1;",
          "the ANOVA residual degrees of freedom are N - 1"),
    Fault("correlation-se", "procedures/hypothesis/correlation_coefficient.cpp",
          "se = 1.0f / std::sqrt(at(n1_) - 3);", "se = 1.0f / std::sqrt(at(n1_) - 2);",
          "Fisher's z of one correlation has the standard error 1/sqrt(n - 2)"),
    Fault("regression-se", "procedures/hypothesis/regression_coefficient.cpp",
          "se = sigma / (std::sqrt(n - 1) * sx1);", "se = sigma / (std::sqrt(n) * sx1);",
          "the standard error of one slope takes sqrt(n) for sqrt(n - 1)"),
    Fault("bioequivalence-df", "procedures/hypothesis/bioequivalence.cpp",
          "t.df = n - 2 + 0.00001f;", "t.df = n - 1 + 0.00001f;",
          "the bioequivalence test has n - 1 degrees of freedom"),
    Fault("hypergeometric-test-correction", "procedures/hypothesis/hypergeometric_proportions.cpp",
          "Single Correction(Single N, Single n) { return (N - n) / (N - 1); }",
          "Single Correction(Single N, Single n) { return (N - n) / N; }",
          "the finite-population correction of the proportion test is (N - n)/N"),
    # ---- sample distributions ----------------------------------------------
    Fault("normal-error-tails-ignored", "procedures/distributions/normal.cpp",
          "return tails_ == 1 ? alpha : alpha / 2;", "return alpha / 2;",
          "the error of a one-sided point estimate halves alpha"),
    Fault("normal-variance-interval-swapped", "procedures/distributions/normal.cpp",
          "upper = estimate * std::sqrt(nu1 / chiLow);", "upper = estimate * std::sqrt(nu1 / chiHigh);",
          "the upper limit of a standard deviation takes the upper chi-square quantile"),
    Fault("normal-variance-mean-known-df", "procedures/distributions/normal.cpp",
          "const Single lost = choice_ == kSdMeanKnown ? 0.0f : 1.0f;", "const Single lost = 1.0f;",
          "an interval of a standard deviation loses a df although the mean is known"),
    Fault("estimate-interval-correction-sign", "procedures/distributions/binomial.cpp",
          "return static_cast<double>(estimate + cc - z * se - limit);",
          "return static_cast<double>(estimate - cc - z * se - limit);",
          "the lower limit of a proportion moves the continuity correction the wrong way"),
    Fault("estimate-error-tails-swapped", "procedures/distributions/binomial.cpp",
          "return tails_ == 1 ? UpperNormalQuantile(level) : UpperNormalQuantile(level / 2);",
          "return tails_ == 1 ? UpperNormalQuantile(level / 2) : UpperNormalQuantile(level);",
          "the one- and two-sided errors of a proportion swap their quantiles"),
    Fault("poisson-pooled-se", "procedures/distributions/poisson.cpp",
          "(n1 * rate1 + n2 * rate2) / (n1 + n2));", "(rate1 + rate2) / 2);",
          "the pooled Poisson rate ignores the sizes"),
    Fault("exponential-interval-level", "procedures/distributions/exponential.cpp",
          "std::log(1 / (1 - level)) / n1;", "std::log(1 / level) / n1;",
          "the interval of an exponential location takes the level for its complement"),
    Fault("log-normal-error-symmetric", "procedures/distributions/log_normal.cpp",
          "NormalCdf(std::log(1 - r) / se);", "NormalCdf(-std::log(1 + r) / se);",
          "the relative error of a median is taken as symmetric on the log scale"),
    Fault("finite-population-remaining", "procedures/distributions/finite_population.cpp",
          "return MaxOf(1 - n / N, 0.0f);", "return MaxOf(1 - (n - 1) / N, 0.0f);",
          "the variance left by sampling n of N counts n - 1"),
    Fault("hypergeometric-correction", "procedures/distributions/hypergeometric.cpp",
          "return MaxOf((N - n) / (N - 1), 0.0f);", "return MaxOf((N - n) / N, 0.0f);",
          "the finite-population correction of an estimate is (N - n)/N"),
    Fault("bivariate-difference-se", "procedures/distributions/bivariate_parts.cpp",
          "s1 * s1 + s2 * s2 - 2 * s1 * s2 * rho", "s1 * s1 + s2 * s2 + 2 * s1 * s2 * rho",
          "the standard deviation of a paired difference adds the covariance"),
    Fault("bivariate-correlation-interval", "procedures/distributions/bivariate_correlation.cpp",
          "const Single half = q / std::sqrt(n - 3);", "const Single half = q / std::sqrt(n - 2);",
          "the interval of a correlation takes 1/sqrt(n - 2) on Fisher's z scale"),
    # ---- checks, catalogue, settings files --------------------------------------
    Fault("check-difference-absolute-bounds", "session/checks.cpp",
          "return CheckValueRange(s, q, lo - s.value(p), hi - s.value(p));",
          "return CheckValueRange(s, q, lo, hi);",
          "a difference is checked against the bounds of the value it moves"),
    Fault("check-negative-ratio-bounds", "session/checks.cpp",
          "if (b < 0) return CheckValueRange(s, q, hi / b, lo / b);",
          "if (b < 0) return CheckValueRange(s, q, lo / b, hi / b);",
          "a ratio to a negative value is checked with its bounds in the wrong order"),
    Fault("check-upper-bound-slack", "session/checks.cpp",
          "if (hasUpper && v > hi && v > ShownBound(hi)) {", "if (hasUpper && v > hi + 1 && v > ShownBound(hi)) {",
          "a value up to 1 above its upper bound is let through"),
    Fault("check-bound-format", "session/checks.cpp",
          "FormatPattern(bound, \"#####0.######\")", "FormatPattern(bound, \"#####0.###\")",
          "the bound in a check message keeps three decimals"),
    Fault("catalogue-start-value", "session/catalogue.cpp",
          "{111, \"&Standard Deviation*\", \"1.2\",", "{111, \"&Standard Deviation*\", \"1.3\",",
          "the assumed standard deviation of the tests of a standard deviation starts at 1.3"),
    Fault("catalogue-lower-limit", "session/catalogue.cpp",
          "{14, \"Sample Si&ze\", \"30\", \"10\", \"50\", \"2\", 3.0, 99999.0},",
          "{14, \"Sample Si&ze\", \"30\", \"10\", \"50\", \"2\", 2.0, 99999.0},",
          "a sample size of 2 is admitted"),
    Fault("catalogue-equivalence-limit", "session/catalogue.cpp",
          "{29, \"H0: &Left Equivalence Limit\", \"0.80\",", "{29, \"H0: &Left Equivalence Limit\", \"0.85\",",
          "the left ratio limit starts at 0.85"),
    Fault("settings-fields-swapped", "session/settings_codec.cpp",
          "r.SampleCount = in.Int({\"number of samples\"});\n  r.TailCount = in.Int({\"number of tails\"});",
          "r.TailCount = in.Int({\"number of tails\"});\n  r.SampleCount = in.Int({\"number of samples\"});",
          "the reader takes the number of tails from the field of the number of samples"),
    Fault("settings-xrange-swapped", "session/settings_codec.cpp",
          "r.xMin = in.Text({\"x minimum\"});\n  r.xMax = in.Text({\"x maximum\"});",
          "r.xMax = in.Text({\"x maximum\"});\n  r.xMin = in.Text({\"x minimum\"});",
          "the reader takes the x maximum from the field of the x minimum"),
    Fault("settings-tails-range", "session/settings_checks.cpp",
          "c.Range(r.TailCount, 1, 3,", "c.Range(r.TailCount, 1, 4,",
          "a record with four tails is let through"),
    # ---- number entry and formats -------------------------------------------
    Fault("format-round-half", "format/number_format.cpp",
          "d.digits[static_cast<std::size_t>(keep)] >= '5';", "d.digits[static_cast<std::size_t>(keep)] > '5';",
          "a decimal 5 is rounded down"),
    Fault("format-str-exponent-range", "format/number_format.cpp",
          "if (exponent >= -6 && exponent <= 6) {", "if (exponent >= -7 && exponent <= 6) {",
          "Str writes 1E-07 in fixed notation"),
    Fault("format-result-pattern", "format/number_format.cpp",
          "if (a < 10) return \"0.0###\";", "if (a < 10) return \"0.0##\";",
          "a result between 1 and 10 shows three decimals"),
    Fault("format-step-pattern", "format/number_format.cpp",
          "if (d >= 0.1f) return \"######0.00 \";", "if (d >= 0.1f) return \"######0.0 \";",
          "the result format of a step of 0.1 keeps one decimal"),
    Fault("entry-comma-ignored", "format/number_entry.cpp",
          "compact += c == ',' ? '.' : c;", "compact += c;",
          "a decimal comma is not read as a point"),
    Fault("entry-sign-anywhere", "format/number_entry.cpp",
          "} else if (c == '-' && first && !sign) {", "} else if (c == '-' && !sign) {",
          "a minus sign after the digits is let through"),
    # ---- output, tables, grid --------------------------------------------------
    Fault("table-result-width", "output/table_layout.cpp",
          "std::string(d < 8 ? 8 - d : 0, '#')", "std::string(d < 7 ? 7 - d : 0, '#')",
          "the result column of a table is one place narrower"),
    Fault("table-last-block-full", "output/table_layout.cpp",
          "blocks.push_back({first, std::min(w, zCount - first)});", "blocks.push_back({first, w});",
          "the last block of z columns claims a full block"),
    Fault("table-height", "output/table_layout.cpp",
          "blockCount * (m + 8) + 2.5 * (blockCount - 1)", "blockCount * (m + 7) + 2.5 * (blockCount - 1)",
          "a table's height in lines is one line short per block"),
    Fault("csv-leading-zero", "output/table_layout.cpp",
          "if (!t.empty() && t[0] == '.') return \"0\" + t;", "",
          "a CSV number below 1 has no leading zero"),
    Fault("rich-text-brace", "output/output_text.cpp",
          "out += \"\\\\}\";", "out += \"}\";",
          "a closing brace is not escaped in rich text"),
    Fault("grid-left-wrap", "grid/grid_table.cpp",
          "--g.row;\n        g.column = g.columns;", "--g.row;\n        g.column = 1;",
          "moving left from the first column goes to the first column of the row above"),
    Fault("grid-cell-minimum", "session/grid_entry.cpp",
          ">= minimum) return true;", "> minimum) return true;",
          "a grid cell equal to its minimum is refused"),
    # ---- engine -------------------------------------------------------------
    Fault("range-x-step-end", "engine/range.cpp",
          "exact ? (first + static_cast<double>(i) * step) / scale : xMin", "xMin",
          "the x values of a range carry the binary rounding of the step"),
    Fault("range-step-count", "engine/range.cpp",
          "std::floor(std::min(steps, 1e15) + 1e-3)) + 1;", "std::floor(std::min(steps, 1e15) + 1e-3));",
          "the number of x steps is one short when checked against the maximum"),
    Fault("range-last-z-lost", "engine/range.cpp",
          "if (t.back() != ' ') t += ' ';", "",
          "the last z value is lost"),
    Fault("range-headings-per-line", "output/range_headings.cpp",
          "if (++inLine == 3) flush();", "if (++inLine == 4) flush();",
          "a heading line of a range holds four values"),
]


class Scratch:
    def __init__(self, folder: Path, jobs: int):
        self.folder = folder
        self.src = folder / "src"
        self.build = folder / "build"
        self.jobs = jobs
        self.timeout = 900.0
        self.targets = None

    def sync(self):
        """Copies the program; unchanged files keep their times, so the build stays incremental."""
        self.src.mkdir(parents=True, exist_ok=True)
        wanted = set()
        for top in ["CMakeLists.txt", "src", "tests", "help", "bench", "fuzz"]:
            origin = ROOT / top
            if origin.is_file():
                wanted.add(Path(top))
                continue
            for dirpath, _, files in os.walk(origin):
                for f in files:
                    wanted.add((Path(dirpath) / f).relative_to(ROOT))
        for rel in wanted:
            a, b = ROOT / rel, self.src / rel
            data = a.read_bytes()
            if not b.exists() or b.read_bytes() != data:
                b.parent.mkdir(parents=True, exist_ok=True)
                b.write_bytes(data)
        for dirpath, _, files in os.walk(self.src):
            for f in files:
                p = Path(dirpath) / f
                if p.relative_to(self.src) not in wanted:
                    p.unlink()

    def configure(self):
        if (self.build / "CMakeCache.txt").exists():
            return
        launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []
        # The optimisation of the usual build without its debug information, which
        # only slows the many links down.
        subprocess.run(["cmake", "-S", str(self.src), "-B", str(self.build), "-DPELMORA_BUILD_TESTS=ON",
                        "-DPELMORA_BUILD_BENCH=OFF", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                        "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG", *launcher],
                       check=True, stdout=subprocess.DEVNULL)

    def compile(self) -> bool:
        if self.targets is None:
            listed = subprocess.run(["cmake", "--build", str(self.build), "--target", "help"],
                                    stdout=subprocess.PIPE, text=True).stdout
            self.targets = ["pelmora_tests", "pelmora-cli"]
            if "pelmora_gui_tests" in listed:
                self.targets.append("pelmora_gui_tests")
        r = subprocess.run(["cmake", "--build", str(self.build), "-j", str(self.jobs), "--target", *self.targets],
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        self.last_build_output = r.stdout
        return r.returncode == 0

    def run(self, command, env=None):
        """(passed, first failure) of one test program."""
        try:
            r = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                               errors="replace", env=env, timeout=self.timeout, cwd=self.build)
        except subprocess.TimeoutExpired:
            return False, "timed out"
        if r.returncode == 0:
            return True, ""
        for line in r.stdout.splitlines():
            m = re.match(r"\[  FAILED  \] (\S+)", line) or re.match(r"FAIL!  : (\S+)", line)
            if m:
                return False, m.group(1)
        return False, f"exit status {r.returncode}"

    def test(self):
        """(passed, first failing test): the core tests, the window tests, the command-line program."""
        core = self.build / "tests" / "pelmora_tests"
        ok, failed = self.run([str(core), "--gtest_fail_fast", "--gtest_brief=1"])
        if not ok:
            return False, failed
        gui = self.build / "tests" / "pelmora_gui_tests"
        if gui.exists():
            env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
            ok, failed = self.run([str(gui)], env)
            if not ok:
                return False, "window tests: " + failed
        ok, failed = self.run([str(self.build / "src" / "pelmora-cli"), "--list"])
        if not ok:
            return False, "pelmora-cli --list: " + failed
        return True, ""


def occurrences(fault: Fault, base: Path) -> int:
    path = base / "src" / fault.file
    return path.read_text().count(fault.old) if path.exists() else 0


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("names", nargs="*", help="run only these faults")
    parser.add_argument("--list", action="store_true", help="list the faults")
    parser.add_argument("--check", action="store_true", help="only check that every snippet occurs once")
    parser.add_argument("--scratch", default="/tmp/pelmora-seeded-faults", help="the scratch folder")
    parser.add_argument("--jobs", type=int, default=2, help="parallel build jobs (default 2)")
    parser.add_argument("--source", help="check this tree of the program instead of the one holding the script")
    args = parser.parse_args()
    if args.source:
        global ROOT
        ROOT = Path(args.source).resolve()

    if args.list:
        for f in FAULTS:
            print(f"{f.name:36} src/{f.file}: {f.what}")
        return 0
    unknown = [n for n in args.names if n not in {f.name for f in FAULTS}]
    if unknown:
        print("no such fault: " + ", ".join(unknown), file=sys.stderr)
        return 2
    faults = [f for f in FAULTS if not args.names or f.name in args.names]

    broken = [f for f in faults if occurrences(f, ROOT) != 1]
    for f in broken:
        print(f"{f.name:36} snippet found {occurrences(f, ROOT)} times in src/{f.file}, not once")
    if args.check:
        print(f"{len(faults) - len(broken)} of {len(faults)} snippets occur once")
        return 1 if broken else 0

    scratch = Scratch(Path(args.scratch), args.jobs)
    started = time.time()
    scratch.sync()
    scratch.configure()
    if not scratch.compile():
        print(scratch.last_build_output[-3000:])
        print("the program does not build without a fault", file=sys.stderr)
        return 2
    t0 = time.time()
    ok, failed = scratch.test()
    if not ok:
        print(f"the tests fail without a fault ({failed})", file=sys.stderr)
        return 2
    scratch.timeout = max(120.0, 10 * (time.time() - t0))

    caught, missed, invalid = [], [], list(broken)
    for fault in faults:
        if fault in broken:
            continue
        path = scratch.src / "src" / fault.file
        original = path.read_text()
        try:
            path.write_text(original.replace(fault.old, fault.new))
            if not scratch.compile():
                print(f"{fault.name:36} does not compile")
                invalid.append(fault)
                continue
            ok, failed = scratch.test()
        finally:
            path.write_text(original)
        if ok:
            missed.append(fault)
            print(f"{fault.name:36} missed  ({fault.what})", flush=True)
        else:
            caught.append(fault)
            print(f"{fault.name:36} caught  by {failed}", flush=True)
    scratch.compile()  # leave the scratch build without a fault

    counted = len(caught) + len(missed)
    print(f"caught {len(caught)} of {counted}" + (f"; {len(invalid)} not applicable" if invalid else ""))
    if missed:
        print("missed: " + ", ".join(f.name for f in missed))
    print(f"({(time.time() - started) / 60:.0f} minutes)")
    return 1 if invalid else 0


if __name__ == "__main__":
    sys.exit(main())
