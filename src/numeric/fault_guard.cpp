#include "numeric/fault_guard.h"

#include <cfenv>

namespace pelmora {

namespace {
constexpr int kFaultFlags = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;
}

void ClearArithmeticFlags() { std::feclearexcept(kFaultFlags); }

bool ArithmeticFlagsRaised() { return std::fetestexcept(kFaultFlags) != 0; }

}  // namespace pelmora
