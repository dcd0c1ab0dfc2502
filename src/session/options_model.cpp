#include "session/options_model.h"

namespace pelmora {

void ResetOptionsDialog(Session& s) {
  s.dialog.samplesEnabled = {true, true};
  s.dialog.tailsEnabled = {true, true, true};
  s.dialog.procedureEnabled = {true, true, true};
  s.dialog.optionEnabled = {true, true, true};
  const bool monteCarlo = s.ActiveRecord > 0 && s.ActiveRecord < static_cast<int>(s.records.size()) &&
                          s.records[static_cast<std::size_t>(s.ActiveRecord)].kind ==
                              static_cast<std::int16_t>(WindowKind::MonteCarlo);
  if (monteCarlo) {
    s.dialog.procedureEnabled[1] = false;
    if (s.ProcedureKind == 1) s.ProcedureKind = 0;
  }
}

void DisableOneSample(Session& s) {
  if (s.SampleCount == 1) s.SampleCount = 2;
  s.dialog.samplesEnabled[0] = false;
}

void DisableTwoSamples(Session& s) {
  if (s.SampleCount == 2) s.SampleCount = 1;
  s.dialog.samplesEnabled[1] = false;
}

void DisableOneSided(Session& s) {
  if (s.TailCount == 1) s.TailCount = 2;
  s.dialog.tailsEnabled[0] = false;
}

void DisableTwoOneSided(Session& s) {
  if (s.TailCount == 3) s.TailCount = 2;
  s.dialog.tailsEnabled[2] = false;
}

}  // namespace pelmora
