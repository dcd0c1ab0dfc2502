#include "session/checks.h"

#include <string>

#include "format/number_entry.h"
#include "format/number_format.h"
#include "numeric/relative.h"
#include "numeric/root.h"

namespace pelmora {

namespace {

bool IsBlank(const std::string& t) { return t.find_first_not_of(" \t") == std::string::npos; }

std::string BoundText(double bound) { return FormatPattern(bound, "#####0.######"); }

// A bound as its message shows it.  A value is compared with the wider of the
// bound and its shown form, so that a value typed as the message shows the
// bound (or as a result was shown) passes.
double ShownBound(double bound) { return ParseNumber(BoundText(bound)); }

}  // namespace

bool CheckValueRange(Session& s, int p, double lo, double hi) {
  const CatalogueEntry& e = s.entryAt(p);
  auto caption = [&] { return RemoveAccelerator(e.ParamCaption()); };
  if (IsBlank(e.ParamText) || e.ParamText == "-") {
    s.ui().Warn(caption() + " has no value");
    return false;
  }
  const double v = s.value(p);
  const Single L = ToSingle(lo);
  const Single H = ToSingle(hi);
  const bool hasLower = L > -99999.0f;
  const bool hasUpper = H < 99999.0f;
  bool shown = false;
  if (hasLower && v < lo && v < ShownBound(lo)) {
    s.ui().Warn(caption() + " has to be greater than or equal to " + BoundText(lo));
    shown = true;
  }
  if (hasUpper && v > hi && v > ShownBound(hi)) {
    s.ui().Warn(caption() + " has to be less than or equal to " + BoundText(hi));
    shown = true;
  }
  return !shown;
}

bool CheckNotAbove(Session& s, int p, int q) {
  if (p == s.UnknownPosition || q == s.UnknownPosition) return true;
  return CheckValueRange(s, p, s.entryAt(p).ParamLowerLimit(), s.value(q));
}

bool CheckOrderedPair(Session& s, int p) { return CheckNotAbove(s, p - 1, p); }

bool CheckRelativeValue(Session& s, int p, int q, double lo, double hi, std::int16_t mode) {
  if (q == s.UnknownPosition) return true;
  switch (mode) {
    case 0:
      return CheckValueRange(s, q, lo, hi);
    case 1:
      if (p == s.UnknownPosition) return true;
      return CheckValueRange(s, q, lo - s.value(p), hi - s.value(p));
    case 2: {
      if (p == s.UnknownPosition) return true;
      const double b = s.value(p);
      if (b > 0) return CheckValueRange(s, q, lo / b, hi / b);
      if (b < 0) return CheckValueRange(s, q, hi / b, lo / b);
      return true;
    }
    default:
      return true;
  }
}

bool CheckSizesWithinPopulations(Session& s, int p, std::int16_t mode2) {
  const CatalogueEntry& first = s.entryAt(p);
  if (!CheckRelativeValue(s, p, p + 1, first.ParamLowerLimit(), first.ParamUpperLimit(), s.ValueMode))
    return false;
  if (!CheckNotAbove(s, p, p + 2)) return false;
  if (p + 3 == s.UnknownPosition || p + 1 == s.UnknownPosition) return true;
  const Single m = ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(p + 1),
                                        ToSingle(s.value(p)), s.ValueMode);
  return CheckRelativeValue(s, p + 2, p + 3, m, 99999, mode2);
}

void LimitByNeighbour(const Session& s, int p, double& lower, double& upper) {
  if (s.UnknownPosition == p) upper = s.value(p + 1);
  if (s.UnknownPosition == p + 1) lower = s.value(p);
}

void RelativeSearchInterval(const Session& s, double& lower, double& upper, int p, double lo, double hi,
                            std::int16_t mode) {
  if (s.UnknownPosition != p + 1) return;
  const double b = s.value(p);
  switch (mode) {
    case 0:
      lower = lo;
      upper = hi;
      break;
    case 1:
      lower = MaxOf(lower, lo - b);
      upper = MinOf(upper, hi - b);
      break;
    case 2:
      if (b > 0) {
        lower = MaxOf(lower, lo / b);
        upper = MinOf(upper, hi / b);
      } else if (b < 0) {
        lower = MaxOf(lower, hi / b);
        upper = MinOf(upper, lo / b);
      }
      break;
    default:
      break;
  }
}

void RelativeSearchIntervalTailed(const Session& s, double& lower, double& upper, int p, double lo, double hi,
                                  std::int16_t mode) {
  const bool left = s.RejectInLeftTail != kFalse;
  double A = lower, B = upper;
  bool empty = false;
  if (s.UnknownPosition == p + 1) {  // the estimate
    const double b = s.value(p);
    switch (mode) {
      case 0:
        if (!left) {
          A = MaxOf(lo, b);
          B = hi;
        } else {
          A = lo;
          B = MinOf(hi, b);
        }
        break;
      case 1:
        A = lo - b;
        B = hi - b;
        if (!left)
          A = MaxOf(A, 0.0);
        else
          B = MinOf(B, 0.0);
        break;
      case 2:
        if (b == 0) {
          empty = true;
        } else if (b > 0) {
          A = lo / b;
          B = hi / b;
          if (!left)
            A = MaxOf(A, 1.0);
          else
            B = MinOf(B, 1.0);
        } else {
          A = hi / b;
          B = lo / b;
          if (!left)
            B = MinOf(B, 1.0);
          else
            A = MaxOf(A, 1.0);
        }
        break;
      default:
        return;
    }
  } else if (s.UnknownPosition == p) {  // the null value
    const double e = s.value(p + 1);
    switch (mode) {
      case 0:
        if (!left) {
          A = lo;
          B = MinOf(hi, e);
        } else {
          A = MaxOf(lo, e);
          B = hi;
        }
        break;
      case 1:
        A = lo - e;
        B = hi - e;
        if (!left)
          empty = !(e > 0);
        else
          empty = e > 0;
        break;
      case 2:
        if (e == 0) {
          empty = true;
        } else if (e > 0) {
          A = MaxOf(lo, lo / e);
          B = MinOf(hi, hi / e);
          if (!left) {
            if (e > 1)
              A = MaxOf(A, 0.0);
            else
              B = MinOf(B, 0.0);
          } else {
            if (e <= 1)
              A = MaxOf(A, 0.0);
            else
              B = MinOf(B, 0.0);
          }
        } else {
          // A negative estimate as a ratio: the null value h = estimate / ratio
          // ranges over [lo, hi], and so does the estimate h x e, whence
          // h within [hi / e, lo / e].  The rejection side follows the sign of
          // h x (e - 1): with e < 0 the estimate lies above h exactly when h < 0.
          A = MaxOf(lo, hi / e);
          B = MinOf(hi, lo / e);
          if (!left)
            B = MinOf(B, 0.0);
          else
            A = MaxOf(A, 0.0);
        }
        break;
      default:
        return;
    }
  } else {
    return;
  }
  if (empty) {
    lower = upper;
    return;
  }
  lower = MaxOf(lower, A);
  upper = MinOf(upper, B);
}

void LowerBoundBaseSize(const Session& s, int p, double& lower) {
  if (s.ValueMode == 1) lower = MaxOf(kMinSampleSize - s.value(p), kMinSampleSize);
  if (s.ValueMode == 2) lower = MaxOf(kMinSampleSize / s.value(p), kMinSampleSize);
}

void LowerBoundRelativeSize(const Session& s, int p, double& lower) {
  if (s.ValueMode == 1) lower = kMinSampleSize - s.value(p);
  if (s.ValueMode == 2) lower = kMinSampleSize / s.value(p);
}

void NarrowByTail(const Session& s, double& lower, double& upper, double x) {
  if (s.RejectInLeftTail == kFalse)
    upper = MinOf(upper, x);
  else
    lower = MaxOf(lower, x);
}

void NarrowByTailReversed(const Session& s, double& lower, double& upper, double x) {
  if (s.RejectInLeftTail == kFalse)
    lower = MaxOf(lower, x);
  else
    upper = MinOf(upper, x);
}

void SampleSizeSearchInterval(const Session& s, int p, double& lower, double& upper, std::int16_t mode2) {
  const int u = s.UnknownPosition;
  const double n1 = s.value(p);
  const double rel2 = s.value(p + 1);
  const double N1 = s.value(p + 2);
  // The second population size resolved from its form.
  const double N2 = static_cast<double>(
      ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(p + 3), ToSingle(N1), mode2));
  if (u == p) {
    LowerBoundBaseSize(s, p + 1, lower);
    upper = MinOf(upper, N1 - 1);
    if (s.ValueMode == 1) upper = MinOf(upper, (N2 - 1) - rel2);
    if (s.ValueMode == 2) upper = MinOf(upper, (N2 - 1) / rel2);
  } else if (u == p + 1) {
    LowerBoundRelativeSize(s, p, lower);
    if (s.ValueMode == 0) upper = N2 - 1;
    if (s.ValueMode == 1) upper = (N2 - 1) - n1;
    if (s.ValueMode == 2) upper = (N2 - 1) / n1;
  } else if (u == p + 2) {
    // The first population holds the first sample and one unit more.
    lower = MaxOf(lower, n1 + 1);
  } else if (u == p + 3) {
    RelativeSearchInterval(s, lower, upper, p + 2, 3.00001, 99999, mode2);
    // The second population holds the second sample and one unit more.
    const double n2 = static_cast<double>(
        ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(p + 1), ToSingle(n1), s.ValueMode));
    switch (mode2) {
      case 0:
        lower = MaxOf(lower, n2 + 1);
        break;
      case 1:
        lower = MaxOf(lower, n2 + 1 - N1);
        break;
      case 2:
        if (N1 > 0) lower = MaxOf(lower, (n2 + 1) / N1);
        break;
      default:
        break;
    }
  }
}

void RatioSearchInterval(const Session& s, double& lower, double& upper, double x, int p, std::int16_t mode) {
  if (mode != 0 && mode != 1) return;
  const bool left = s.RejectInLeftTail != kFalse;
  const double second = s.value(p + 2);
  const double R = mode == 1 ? second : second / s.value(p + 1);
  const int u = s.UnknownPosition;
  if (u == p) {
    if (!left)
      upper = MinOf(upper, R);
    else
      lower = MaxOf(lower, R);
  } else if (u == p + 1) {
    if (mode == 0) {
      if (!left)
        upper = MinOf(upper, second / x);
      else
        lower = MaxOf(lower, second / x);
    } else {
      const bool close = !left ? !(second > x) : second > x;
      if (close) lower = upper;
    }
  } else if (u == p + 2) {
    const double bound = mode == 0 ? s.value(p + 1) * x : x;
    if (!left)
      lower = MaxOf(lower, bound);
    else
      upper = MinOf(upper, bound);
  }
}

void MeanPairSearchInterval(const Session& s, double& lower, double& upper, double x, int p, double lo,
                            double hi, std::int16_t mode) {
  if (mode < 0 || mode > 2) return;
  const bool left = s.RejectInLeftTail != kFalse;
  auto cap = [&](double t) { upper = MinOf(upper, t); };
  auto floor = [&](double t) { lower = MaxOf(lower, t); };
  auto close = [&] { lower = upper; };
  const int u = s.UnknownPosition;
  if (u == p) {
    const double m1 = s.value(p + 1), v2 = s.value(p + 2);
    const double D = mode == 0 ? v2 - m1 : mode == 1 ? v2 : v2 * m1 - m1;
    if (!left)
      cap(D);
    else
      floor(D);
  } else if (u == p + 1) {
    const double v2 = s.value(p + 2);
    if (mode == 0) {
      if (!left)
        cap(v2 - x);
      else
        floor(v2 - x);
    } else if (mode == 1) {
      const double d = v2;
      floor(lo - d);
      cap(hi - d);
      if (!left ? !(x < d) : !(d <= x)) close();
    } else {
      const double r = v2;
      if (r == 0) {
        close();
        return;
      }
      if (r > 0) {
        floor(lo / r);
        cap(hi / r);
      } else {
        floor(hi / r);
        cap(lo / r);
      }
      if (r == 1) {
        close();
        return;
      }
      const double q = x / (r - 1);
      if (!left) {
        if (r > 1)
          floor(q);
        else
          cap(q);
      } else {
        if (r > 1)
          cap(q);
        else
          floor(q);
      }
    }
  } else if (u == p + 2) {
    const double m1 = s.value(p + 1);
    if (mode == 0) {
      if (!left)
        floor(m1 + x);
      else
        cap(m1 + x);
    } else if (mode == 1) {
      floor(lo - m1);
      cap(hi - m1);
      if (!left)
        floor(x);
      else
        cap(x);
    } else {
      if (m1 == 0) {
        close();
        return;
      }
      if (m1 > 0) {
        floor(lo / m1);
        cap(hi / m1);
      } else {
        floor(hi / m1);
        cap(lo / m1);
      }
      const double q = x / m1 + 1;
      if (!left) {
        if (m1 > 0)
          floor(q);
        else
          cap(q);
      } else {
        if (m1 > 0)
          cap(q);
        else
          floor(q);
      }
    }
  }
}

void ScaleSearchInterval(const Session& s, double& lower, double& upper, int p, std::int16_t mode) {
  if (mode != 0 && mode != 1) return;
  const bool left = s.RejectInLeftTail != kFalse;
  const int u = s.UnknownPosition;
  if (u == p) {
    const double R = mode == 0 ? s.value(p + 2) / s.value(p + 1) : s.value(p + 1);
    if (!left)
      upper = R;
    else
      lower = R;
  } else if (u == p + 1) {
    if (mode == 0) {
      const double t = s.value(p + 2) / s.value(p);
      if (!left)
        upper = t;
      else
        lower = t;
    } else {
      if (!left)
        lower = s.value(p);
      else
        upper = s.value(p);
    }
  } else if (u == p + 2 && mode == 0) {
    const double t = s.value(p + 1) * s.value(p);
    if (!left)
      lower = t;
    else
      upper = t;
  }
}

}  // namespace pelmora
