#include "numeric/fault_guard.h"

#include <cfenv>

namespace pelmora {

namespace {
constexpr int kFaultFlags = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;
}

void ClearArithmeticFlags() {
  // Testing the flags is cheap, clearing them is not (it rewrites the x87
  // environment): cleared only when one is raised.
  if (std::fetestexcept(kFaultFlags) != 0) std::feclearexcept(kFaultFlags);
}

bool ArithmeticFlagsRaised() { return std::fetestexcept(kFaultFlags) != 0; }

}  // namespace pelmora
