#include "procedures/tests/test_nor.h"

#include "procedures/tests/groups.h"

namespace pelmora {

void OfferMeanTestRows(Session& s) {
  s.IntParRowCount = 0;
  if (s.SampleCount == 1) {
    if (s.TailCount == 1 || s.TailCount == 2) OfferRow(s, group::Mean);
  } else {
    OfferRow(s, group::Mean2);
    OfferRow(s, group::StdDeviation2);
    OfferRow(s, group::SampleSize2);
  }
}

}  // namespace pelmora
