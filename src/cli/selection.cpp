#include "cli/selection.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>
#include <utility>

#include "engine/value_texts.h"
#include "format/number_entry.h"
#include "session/catalogue.h"
#include "session/menus.h"
#include "session/procedure_table.h"

namespace pelmora::cli {
namespace {

// ---- Selection -------------------------------------------------------------

// The procedure a --test or --distribution value names: its menu index (the
// number --list shows) or its caption.
Procedure MenuProcedure(const std::string& flag, const std::string& value, Menu menu) {
  const std::string menuName = menu == Menu::Tests ? "Test Procedures" : "Sample Distributions";
  int index = 0;
  if (ParseIndex(value, index)) {
    if (index >= MenuLength(menu))
      Usage(flag + " " + value + ": the " + menuName + " menu has no item " + value + " (see --list)");
    const std::optional<Procedure> p = ProcedureAt(menu, index);
    if (!p)
      Usage(flag + " " + value + ": item " + value + " of the " + menuName + " menu is a separator (see --list)");
    return *p;
  }
  const std::string key = Lower(Trim(RemoveAccelerator(value)));
  for (const ProcedureRow& row : Procedures())
    if (row.menu == menu && Lower(ProcedureName(row.procedure)) == key) return row.procedure;
  Usage(flag + " " + Quoted(value) + ": no such item in the " + menuName + " menu (see --list)");
}

std::string SelectionName(const Session& s) {
  return s.IsTestProcedure != kFalse ? s.TestName : s.DistributionName;
}

// The offered option ids, for messages.
std::string OfferedOptions(const Session& s) {
  if (s.OptionCount == 0) return "none";
  std::string r;
  for (int k = 0; k < s.OptionCount; ++k) {
    const int id = s.OptionId[static_cast<std::size_t>(k)];
    r += (k > 0 ? ", " : "") + std::to_string(id) + " " +
         Quoted(RemoveAccelerator(OptionCaptions()[static_cast<std::size_t>(id)]));
  }
  return r;
}

std::string OfferedGroups(const Session& s) {
  if (s.IntParRowCount == 0) return "none";
  std::string r;
  for (int k = 0; k < s.IntParRowCount; ++k) r += (k > 0 ? ", " : "") + std::to_string(s.IntParRowGroup[k]);
  return r;
}

bool OptionOffered(const Session& s, int id) {
  for (int k = 0; k < s.OptionCount; ++k)
    if (s.OptionId[static_cast<std::size_t>(k)] == id) return true;
  return false;
}

int OptionIdOf(const Session& s, const std::string& value) {
  int id = 0;
  if (ParseIndex(value, id)) {
    if (id >= kOptionCount)
      Usage("--option " + value + ": option ids are 0 to " + std::to_string(kOptionCount - 1) +
            " (see --list)");
    return id;
  }
  const std::string key = Lower(Trim(RemoveAccelerator(value)));
  int found = -1;
  for (int k = 0; k < kOptionCount; ++k) {
    if (Lower(RemoveAccelerator(OptionCaptions()[static_cast<std::size_t>(k)])) != key) continue;
    if (found < 0 || OptionOffered(s, k)) found = k;
  }
  if (found < 0) Usage("--option " + Quoted(value) + ": no such option (see --list)");
  return found;
}

// The index of a distribution's parameter choice, given by index or text.
int ParameterChoiceOf(const Session& s, const std::string& value) {
  const std::optional<Procedure> distribution = ProcedureAt(Menu::Distributions, s.DistributionIndex);
  static const std::vector<std::string> none;
  const std::vector<std::string>& choices = distribution ? RowOf(*distribution).parameterChoices : none;
  const int count = static_cast<int>(choices.size());
  int k = 0;
  if (ParseIndex(value, k)) {
    if (k >= count)
      Usage("--parameter " + value + ": " + s.DistributionName + " has the parameter choices 0 to " +
            std::to_string(count - 1) + " (see --list)");
    return k;
  }
  for (k = 0; k < count; ++k)
    if (Lower(choices[static_cast<std::size_t>(k)]) == Lower(Trim(value))) return k;
  Usage("--parameter " + Quoted(value) + ": not a parameter choice of " + s.DistributionName +
        " (see --list)");
}

// Ticks the options, each followed by the rebuild, then sets the forms.
void ApplyOptionsAndForms(Dispatcher& d, const Request& r) {
  Session& s = d.session();
  std::vector<std::pair<std::string, int>> ticked;
  for (const std::string& o : r.options) {
    if (IsPlanByPower(o)) continue;
    const int id = OptionIdOf(s, o);
    if (!OptionOffered(s, id))
      Usage("--option " + Quoted(o) + ": not offered here; the options offered are " + OfferedOptions(s));
    d.SetOption(id, true);
    ticked.emplace_back(o, id);
  }
  for (const auto& [o, id] : ticked)
    if (!s.optionChecked(id))
      Usage("--option " + Quoted(o) + " was cleared by a later option: the two exclude each other");

  const bool byPower =
      r.power || std::any_of(r.options.begin(), r.options.end(), [](const std::string& o) { return IsPlanByPower(o); });
  if (byPower) {
    const std::string arg = r.power ? "--power" : "--option " + Quoted(kPlanByPowerCaption);
    if (!s.dialog.planByPowerOffered)
      Usage(arg + ": planning by power applies to a test only (a test procedure, or --kind test)");
    d.SetPlanByPower(true);
  }

  for (const auto& [g, m] : r.modes) {
    const std::string arg = "--mode " + std::to_string(g) + "=" + std::to_string(m);
    bool offered = false;
    for (int k = 0; k < s.IntParRowCount; ++k) offered = offered || s.IntParRowGroup[k] == g;
    if (!offered)
      Usage(arg + ": group " + std::to_string(g) + " is not offered here; offered: " + OfferedGroups(s));
    if (ParameterGroups()[static_cast<std::size_t>(g)].forms[static_cast<std::size_t>(m)].empty())
      Usage(arg + ": group " + std::to_string(g) + " has no form " + std::to_string(m));
    d.SetForm(g, m);
  }
}

// Whether a caption without its "&" is `key` (in lower case), in any case:
// Lower(RemoveAccelerator(caption)) == key, without making either text.
bool CaptionIs(std::string_view caption, std::string_view key) {
  const std::size_t amp = caption.find('&');
  if (caption.size() - (amp == std::string_view::npos ? 0 : 1) != key.size()) return false;
  std::size_t k = 0;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (i == amp) continue;
    if (static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i]))) != key[k++]) return false;
  }
  return true;
}

std::string Unstarred(std::string_view text) {
  std::string r;
  for (char c : text)
    if (c != '*') r += c;
  return Lower(Trim(r));
}

std::string ListedParameters(const Session& s) {
  std::string r;
  for (int p = 0; p <= s.LastPosition; ++p) {
    if (p == 1) continue;
    r += (r.empty() ? "" : ", ") + Quoted(CaptionAt(s, p)) + " (" + std::to_string(s.ParameterList[p]) + ")";
  }
  return r;
}

}  // namespace

// Chooses the procedure and its options as the menus and the options dialog
// do, then builds the parameter list.  Returns false when no module serves the
// selection.
bool ApplySelection(Dispatcher& d, const Request& r) {
  Session& s = d.session();
  d.Select(r.test ? MenuProcedure("--test", *r.test, Menu::Tests)
                  : MenuProcedure("--distribution", *r.distribution, Menu::Distributions));
  std::optional<int> choice;
  if (r.parameter) choice = ParameterChoiceOf(s, *r.parameter);
  if (d.Module() == nullptr) return false;

  // As a user goes through the dialog: what is studied and how first, since
  // they decide which samples and tails are offered.
  const std::string name = SelectionName(s);
  if (choice) d.SetParameterChoice(*choice);
  if (r.kind) {
    if (!s.dialog.procedureEnabled[static_cast<std::size_t>(*r.kind)])
      Usage("--kind: " + std::string(kProcedureCaptions[*r.kind]) + " is not offered by " + name);
    d.SetProcedureKind(*r.kind);
  }
  if (r.samples) {
    if (!s.dialog.samplesEnabled[static_cast<std::size_t>(*r.samples - 1)])
      Usage("--samples " + std::to_string(*r.samples) + ": not offered by " + name);
    d.SetSampleCount(*r.samples);
  }
  if (r.tails) {
    if (!s.dialog.tailsEnabled[static_cast<std::size_t>(*r.tails - 1)])
      Usage("--tails " + std::to_string(*r.tails) + ": not offered by " + name);
    d.SetTailCount(*r.tails);
  }
  if (r.leftTail) d.SetRejectInLeftTail(true);

  ApplyOptionsAndForms(d, r);
  ApplySequentialFlags(d, r.sequential);
  d.ApplyOptions();

  // A later choice may have moved an earlier one to its fallback.
  if (r.samples && s.SampleCount != *r.samples)
    Usage("--samples " + std::to_string(*r.samples) + ": not offered with the other choices");
  if (r.tails && s.TailCount != *r.tails)
    Usage("--tails " + std::to_string(*r.tails) + ": not offered with the other choices");
  if (r.kind && s.ProcedureKind != *r.kind) Usage("--kind: not offered with the other choices");
  if (choice && s.ParameterChoice != *choice) Usage("--parameter: not offered with the other choices");
  if (r.leftTail && s.ProcedureKind != 0) Usage("--left-tail applies to a test only");
  return true;
}

// The list position a NAME stands for (an id or a caption), never position 1.
int ResolveParameter(const Session& s, const std::string& flag, const std::string& name) {
  const std::string shown = flag + " " + Quoted(name);
  std::vector<int> found;
  // Position 1 has no value box; a parameter listed there and again further
  // down (the power of a test planned by power) is the one further down.
  auto collect = [&](auto&& matches) {
    found.clear();
    for (int p = 0; p <= s.LastPosition; ++p)
      if (matches(p)) found.push_back(p);
    if (found.size() > 1 && found.front() == 1 &&
        s.ParameterList[static_cast<std::size_t>(found[1])] == s.ParameterList[1])
      found.erase(found.begin());
  };
  int id = 0;
  if (ParseIndex(Trim(name), id)) {
    if (id >= kCatalogueSize) Usage(shown + ": catalogue ids are 0 to " + std::to_string(kCatalogueSize - 1));
    collect([&](int p) { return s.ParameterList[p] == id; });
    const std::string caption = RemoveAccelerator(s.entry(id).ParamCaption());
    if (found.empty() && !caption.empty()) collect([&](int p) { return CaptionAt(s, p) == caption; });
    if (found.empty())
      Usage(shown + ": id " + std::to_string(id) + (caption.empty() ? "" : " (" + caption + ")") +
            " is not listed here; the parameters are " + ListedParameters(s));
  } else {
    const std::string key = Lower(Trim(RemoveAccelerator(name)));
    collect([&](int p) { return CaptionIs(s.entryAt(p).ParamCaption(), key); });
    if (found.empty()) collect([&](int p) { return Unstarred(CaptionAt(s, p)) == Unstarred(key); });
    if (found.empty())
      Usage(shown + ": no listed parameter has this caption; the parameters are " + ListedParameters(s));
    if (found.size() > 1) {
      std::string ids;
      for (int p : found) ids += (ids.empty() ? "" : ", ") + std::to_string(s.ParameterList[p]);
      Usage(shown + ": the caption names several parameters; give one of the ids " + ids);
    }
  }
  const int p = found.front();
  if (p == 1)
    Usage(shown + ": " + CaptionAt(s, 1) +
          " stands at position 1, which has no value box; it can be neither set, "
          "solved nor stepped" +
          (s.ParameterList[1] == param::Power
               ? std::string(" (planned by power, with --option ") + Quoted(kPlanByPowerCaption) +
                     " or --power P, a test lists it beneath the P-value)"
               : std::string()));
  return p;
}

}  // namespace pelmora::cli
