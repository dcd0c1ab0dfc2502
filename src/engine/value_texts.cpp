#include "engine/value_texts.h"

#include <algorithm>

#include "format/number_entry.h"

namespace pelmora {

std::string CaptionAt(const Session& s, int p) { return RemoveAccelerator(s.entryAt(p).ParamCaption()); }

void ReadParameterValues(Session& s) {
  for (int p = 0; p <= s.LastPosition; ++p) s.value(p) = ParseNumber(s.entryAt(p).ParamText);
}

namespace {

// A value text that is neither blank, "-" (no value: the checks say so) nor
// one number.
bool Malformed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos || text.substr(first) == "-") return false;
  return !IsWellFormedNumber(text);
}

}  // namespace

bool RefuseMalformed(Session& s, const std::string& what, const std::string& text) {
  s.ui().Warn(what + ": \"" + text + "\" is not a number");
  return false;
}

bool CheckValueTexts(Session& s, std::initializer_list<int> skip) {
  for (int p = 0; p <= s.LastPosition; ++p) {
    if (p == 1 || std::find(skip.begin(), skip.end(), p) != skip.end()) continue;
    const std::string& text = s.entryAt(p).ParamText;
    if (Malformed(text)) return RefuseMalformed(s, CaptionAt(s, p), text);
  }
  return true;
}

}  // namespace pelmora
