// One instance of every procedure module, owned per dispatcher so that two
// sessions never share module flags.
#pragma once

#include "procedures/tests/test_stud.h"

namespace pelmora {

class ModuleSet {
 public:
  // The module serving a test procedure by menu index, or nullptr.
  ProcedureModule* ForTest(int testIndex);
  // The module serving a sample distribution by menu index, or nullptr.
  ProcedureModule* ForDistribution(int distributionIndex);

  TestStud stud;
};

}  // namespace pelmora
