// The tooltip of a parameter's caption: what the parameter means, in the
// words of its procedure's help page, and the values it may take, from the
// catalogue's limits in the words the help uses ("0.00001 to 0.99999",
// "3 or more", "any value").
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "session/catalogue.h"

namespace pelmora {

class Session;

// One row of a help page's parameter table: the captions it names (without
// "&") and their meaning, under the page's section (the last "<h2>" heading,
// such as "Test" or "Conf. Interval").
struct ParameterMeaning {
  std::string section;
  std::string caption;
  std::string meaning;
};
using ParameterMeanings = std::vector<ParameterMeaning>;

// The text of a piece of HTML: tags dropped, the usual entities read, runs
// of blanks made one, none at the ends.
std::string PlainText(std::string_view html);

// A caption as the help writes it: without its "&", runs of blanks made one.
std::string PlainCaption(const CatalogueEntry& e);

// The rows of the tables "Parameter | Meaning | Admissible values" of a help
// page (HTML); tags are dropped and the usual entities read.
ParameterMeanings ReadParameterMeanings(std::string_view page);

// The values a parameter may take, from its catalogue limits.
std::string AdmissibleValues(const CatalogueEntry& e);

// "Caption: meaning" and "Admissible values: ..." on two lines, for the
// parameter at a list position.  The meaning is the one the page gives the
// caption, preferring the section of the chosen procedure kind; without one
// only the caption and the admissible values are given.
std::string ParameterTip(const Session& s, int position, const ParameterMeanings& meanings);

}  // namespace pelmora
