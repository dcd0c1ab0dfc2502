#include "output/range_headings.h"

#include "format/number_entry.h"
#include "format/number_format.h"

namespace pelmora {

void BuildRangeHeadings(Session& s, bool forTable) {
  auto caption = [&](int p) { return RemoveAccelerator(s.entryAt(p).ParamCaption()); };
  s.RangeHeadings.clear();
  s.RangeHeadings.push_back(s.Description);
  if (forTable)
    s.RangeHeadings.push_back(caption(s.UnknownPosition) + " as a function of " + caption(s.XPosition) +
                              " and " + caption(s.ZPosition) + ".");
  std::string line;
  int inLine = 0;
  auto flush = [&] {
    const auto end = line.find_last_not_of(' ');
    s.RangeHeadings.push_back(end == std::string::npos ? std::string() : line.substr(0, end + 1));
    line.clear();
    inLine = 0;
  };
  // Position 1 has no value box: nothing the user entered.
  for (int p = 0; p <= s.LastPosition; ++p) {
    if (p == 1 || p == s.UnknownPosition || p == s.XPosition || p == s.ZPosition) continue;
    // The value as its text gives it, whether or not it was read yet.
    line += caption(p) + "=" + StrSingleTrimmed(ToSingle(ParseNumber(s.entryAt(p).ParamText))) + "    ";
    if (++inLine == 3) flush();
  }
  if (inLine > 0 || s.RangeHeadings.size() == (forTable ? 2u : 1u)) flush();
}

}  // namespace pelmora
