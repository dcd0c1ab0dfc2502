// Writes a few settings files as the program itself saves them, one per
// kind of window and a spread of procedures, into the folder named by the
// first argument: the seed corpus of the settings-file fuzz target.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>

#include "format/number_entry.h"
#include "session/catalogue.h"
#include "engine/dispatch.h"
#include "session/procedure_table.h"
#include "session/settings_file.h"
#include "session/window_records.h"

namespace {

using namespace pelmora;

std::string Text(double v) {
  std::ostringstream out;
  out << v;
  return out.str();
}

bool Save(const std::filesystem::path& folder, const std::string& name, WindowKind kind,
          const std::function<void(Session&, Dispatcher&)>& choose) {
  RecordingUserInterface ui;
  Session s(ui);
  Dispatcher d(s);
  OpenWindowRecord(s, kind);
  choose(s, d);
  d.ApplyOptions();
  if (kind != WindowKind::Calculation) {
    // A short range around the x parameter's own value, and the z
    // parameter's own value and one a little larger.
    CatalogueEntry& x = s.entryAt(s.XPosition);
    const double v = ParseNumber(x.ParamText);
    const double step = v == 0 ? 0.1 : std::fabs(v) / 4;
    x.TableMin = Text(v);
    x.TableMax = Text(v + 2 * step);
    x.TableStep = Text(step);
    CatalogueEntry& z = s.entryAt(s.ZPosition);
    const double w = ParseNumber(z.ParamText);
    z.ZValueText = Text(w) + " " + Text(w == 0 ? 0.1 : w * 1.1);
  }
  s.ResultsCurrent = true;
  StoreWindowSettings(s);
  s.records[1].headings[0] =
      "Gr\xC3\xB6\xC3\x9F"
      "e";
  s.records[1].TableColumns = 2;
  return WriteSettingsFile(s, (folder / name).string());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_settings_seeds <folder>\n";
    return 2;
  }
  const std::filesystem::path folder(argv[1]);
  std::filesystem::create_directories(folder);
  bool ok = true;
  // Every test procedure and every parameter choice and procedure of every
  // sample distribution, the window kinds taken in turn.
  int turn = 0;
  auto kind = [&turn] { return static_cast<WindowKind>(turn++ % 3); };
  for (const ProcedureRow& row : Procedures()) {
    if (row.menu != Menu::Tests) continue;
    ok &= Save(folder, "test-" + std::to_string(row.index) + ".dim", kind(),
               [p = row.procedure](Session&, Dispatcher& d) { d.Select(p); });
  }
  for (const ProcedureRow& row : Procedures()) {
    if (row.menu != Menu::Distributions) continue;
    const int i = row.index;
    const Procedure p = row.procedure;
    const auto choices = static_cast<int>(row.parameterChoices.size());
    for (int c = 0; c < choices; ++c)
      for (int procedure = 0; procedure < 3; ++procedure)
        ok &= Save(folder,
                   "distribution-" + std::to_string(i) + "-" + std::to_string(c) + "-" +
                       std::to_string(procedure) + ".dim",
                   kind(), [=](Session&, Dispatcher& d) {
                     d.Select(p);
                     d.SetParameterChoice(c);
                     d.SetProcedureKind(procedure);
                   });
  }
  // A few options: two one-sided tests, a one-sided test in the left tail.
  ok &= Save(folder, "bioequivalence-two-one-sided.dim", WindowKind::Table, [](Session&, Dispatcher& d) {
    d.Select(Procedure::Bioequivalence);
    d.SetTailCount(3);
  });
  ok &= Save(folder, "unpaired-left.dim", WindowKind::Graph, [](Session&, Dispatcher& d) {
    d.Select(Procedure::UnpairedT);
    d.SetTailCount(1);
    d.SetRejectInLeftTail(true);
  });
  return ok ? 0 : 1;
}
