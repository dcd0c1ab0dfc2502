#include "session/settings_file.h"

#include <algorithm>
#include <array>
#include <utility>

#include "format/number_entry.h"
#include "engine/dispatch.h"
#include "session/menus.h"
#include "session/user_files.h"
#include "session/window_records.h"

namespace pelmora {

namespace {

// The characters of cp1252 bytes 0x80..0x9F.  The five bytes the code page
// leaves unused stand for the control characters of the same number, as
// Windows reads them, so that every byte reads back as it was.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The cp1252 byte of a character, or nothing when the code page lacks it.
std::optional<char> AnsiByte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (std::size_t k = 0; k < kHighControls.size(); ++k)
    if (kHighControls[k] == c) return static_cast<char>(0x80 + k);
  return std::nullopt;
}

// Decodes one UTF-8 character at i and advances i; a malformed byte is
// taken as U+FFFD.
char32_t NextCharacter(const std::string& s, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  std::size_t extra = 0;
  if (lead >= 0x80) {
    if ((lead & 0xE0) == 0xC0)
      extra = 1;
    else if ((lead & 0xF0) == 0xE0)
      extra = 2;
    else if ((lead & 0xF8) == 0xF0)
      extra = 3;
    else
      extra = 4;  // not a lead byte
  }
  if (extra == 4 || (extra > 0 && i + extra >= s.size())) {
    ++i;
    return 0xFFFD;
  }
  char32_t c = extra == 0 ? lead : static_cast<char32_t>(lead & (0x3F >> extra));
  for (std::size_t k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    c = (c << 6) | (b & 0x3F);
  }
  i += extra + 1;
  return c;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

class RecordWriter {
 public:
  void Int(std::int16_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    bytes_.push_back(static_cast<std::uint8_t>(u & 0xFF));
    bytes_.push_back(static_cast<std::uint8_t>(u >> 8));
  }
  void Text(const std::string& utf8) {
    if (lacking_.empty()) lacking_ = FirstCharacterNotInWindowsAnsi(utf8);
    const std::string ansi = ToWindowsAnsi(utf8);
    if (ansi.size() > kSettingsRecordLength) {
      fits_ = false;
      return;
    }
    Int(static_cast<std::int16_t>(ansi.size()));
    bytes_.insert(bytes_.end(), ansi.begin(), ansi.end());
  }
  template <std::size_t N>
  void Ints(const std::array<std::int16_t, N>& a) {
    for (std::int16_t v : a) Int(v);
  }
  template <std::size_t N>
  void Texts(const std::array<std::string, N>& a) {
    for (const std::string& t : a) Text(t);
  }
  std::optional<std::vector<std::uint8_t>> Finish(std::string* why) {
    if (!lacking_.empty()) {
      if (why != nullptr) *why = CannotBeKeptMessage(lacking_);
      return std::nullopt;
    }
    if (!fits_ || bytes_.size() > kSettingsRecordLength) {
      if (why != nullptr) *why = "Its texts are too long for a settings file.";
      return std::nullopt;
    }
    bytes_.resize(kSettingsRecordLength, 0);
    return bytes_;
  }

 private:
  std::vector<std::uint8_t> bytes_;
  bool fits_ = true;
  std::string lacking_;  // the first character the code page lacks
};

}  // namespace

std::string ToWindowsAnsi(const std::string& utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) out += AnsiByte(NextCharacter(utf8, i)).value_or('?');
  return out;
}

std::string FromWindowsAnsi(const std::string& ansi) {
  std::string out;
  for (char ch : ansi) {
    const auto b = static_cast<unsigned char>(ch);
    AppendUtf8(out, b >= 0x80 && b <= 0x9F ? kHighControls[b - 0x80] : b);
  }
  return out;
}

std::string FirstCharacterNotInWindowsAnsi(const std::string& utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t start = i;
    const char32_t c = NextCharacter(utf8, i);
    if (!AnsiByte(c)) return utf8.substr(start, i - start);
  }
  return {};
}

bool CheckWindowsAnsi(std::string& text, UserInterface& ui) {
  const std::string c = FirstCharacterNotInWindowsAnsi(text);
  if (c.empty()) return true;
  ui.Beep();
  ui.Warn(CannotBeKeptMessage(c));
  text.erase(text.find(c), c.size());
  return false;
}

std::string CannotBeKeptMessage(const std::string& character) {
  return "\"" + character +
         "\" cannot be kept in a settings file, which holds only the characters of the Windows code page "
         "1252 (Western European).";
}

std::optional<std::vector<std::uint8_t>> EncodeSettingsRecord(const WindowSettings& r, std::string* why) {
  RecordWriter w;
  w.Int(r.kind);
  w.Int(r.number);
  w.Text(r.title);
  w.Int(r.IsTestProcedure);
  w.Int(r.TestIndex);
  w.Text(r.TestName);
  w.Int(r.DistributionIndex);
  w.Text(r.DistributionName);
  w.Int(r.SampleCount);
  w.Int(r.TailCount);
  w.Int(r.RejectInLeftTail);
  w.Int(r.ParameterChoice);
  w.Int(r.ProcedureKind);
  w.Int(r.InterimCount);
  w.Int(r.IntParRowCount);
  w.Ints(r.IntParRowGroup);
  w.Ints(r.IntParMode);
  w.Int(r.OptionCount);
  w.Ints(r.OptionId);
  w.Ints(r.OptionState);
  w.Int(r.UnknownPosition);
  w.Int(r.XPosition);
  w.Int(r.ZPosition);
  w.Int(r.xId);
  w.Int(r.zId);
  w.Text(r.xMin);
  w.Text(r.xMax);
  w.Text(r.xStep);
  w.Text(r.zValues);
  w.Int(r.LastPosition);
  w.Texts(r.valueTexts);
  w.Int(r.lastHeading);
  w.Texts(r.headings);
  w.Texts(r.graphTexts);
  w.Texts(r.axisTexts);
  w.Text(r.extraText);
  w.Text(r.fontName);
  w.Text(r.fontSize);
  w.Int(r.fontBold);
  w.Int(r.TableColumns);
  w.Int(r.TableDecimals);
  // A test planned by power adds one flag (-1) after the last field, where a
  // record of a test planned by its just-significant result has zeros; the
  // reader takes nothing but -1 there for the flag.
  if (r.PlanByPower != kFalse) w.Int(kTrue);
  return w.Finish(why);
}

namespace {

// The name of a field in the reasons of a refusal: "its " + name.
struct Field {
  const char* name;
  int number = -1;  // shown after the name when not negative
  std::string Text() const { return number < 0 ? name : std::string(name) + " " + std::to_string(number); }
};

class RecordReader {
 public:
  explicit RecordReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool ok() const { return why_.empty(); }
  const std::string& why() const { return why_; }

  std::int16_t Int(const Field& f) {
    if (!ok()) return 0;
    if (bytes_.size() - at_ < 2) {
      why_ = "its " + f.Text() + " runs past the end of the record";
      return 0;
    }
    const auto u = static_cast<std::uint16_t>(bytes_[at_] | (bytes_[at_ + 1] << 8));
    at_ += 2;
    return static_cast<std::int16_t>(u);
  }
  // An integer in the record's tail, 0 where the record has no room for it.
  std::int16_t TailInt(const Field& f) { return bytes_.size() - at_ < 2 ? 0 : Int(f); }
  std::string Text(const Field& f) {
    const std::int16_t n = Int(f);
    if (!ok()) return {};
    if (n < 0) {
      why_ = "its " + f.Text() + " has a negative length (" + std::to_string(n) + ")";
      return {};
    }
    const auto length = static_cast<std::size_t>(n);
    if (length > bytes_.size() - at_) {
      why_ =
          "its " + f.Text() + " is " + std::to_string(n) + " bytes long and runs past the end of the record";
      return {};
    }
    std::string ansi(reinterpret_cast<const char*>(bytes_.data() + at_), length);
    at_ += length;
    return FromWindowsAnsi(ansi);
  }
  template <std::size_t N>
  void Ints(std::array<std::int16_t, N>& a, const char* name, int firstNumber) {
    for (std::size_t k = 0; k < N; ++k) a[k] = Int({name, firstNumber + static_cast<int>(k)});
  }
  template <std::size_t N>
  void Texts(std::array<std::string, N>& a, const char* name, int firstNumber) {
    for (std::size_t k = 0; k < N; ++k) a[k] = Text({name, firstNumber + static_cast<int>(k)});
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
  std::string why_;
};

// The checks of single fields; each sets `why` and returns false on a refusal.
class FieldChecks {
 public:
  explicit FieldChecks(std::string& why) : why_(why) {}

  bool Range(int v, int lo, int hi, const Field& f) {
    if (v >= lo && v <= hi) return true;
    return Refuse("its " + f.Text() + " is " + std::to_string(v) + ", outside " + std::to_string(lo) +
                  " to " + std::to_string(hi));
  }
  bool Either(int v, int a, int b, const Field& f) {
    if (v == a || v == b) return true;
    return Refuse("its " + f.Text() + " is " + std::to_string(v) + ", not " + std::to_string(a) + " or " +
                  std::to_string(b));
  }
  bool IsFlag(int v, const Field& f) {
    if (v == kTrue || v == kFalse) return true;
    return Refuse("its " + f.Text() + " is " + std::to_string(v) + ", neither -1 (true) nor 0 (false)");
  }
  template <std::size_t N>
  bool AllInRange(const std::array<std::int16_t, N>& a, int lo, int hi, const char* name, int firstNumber) {
    for (std::size_t k = 0; k < N; ++k)
      if (!Range(a[k], lo, hi, {name, firstNumber + static_cast<int>(k)})) return false;
    return true;
  }
  bool Refuse(std::string why) {
    why_ = std::move(why);
    return false;
  }

 private:
  std::string& why_;
};

// A font size as the appearance dialogs store it: a whole number of points.
bool IsFontSize(const std::string& text) {
  if (text.empty() || text.size() > 2) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  const int points = std::stoi(text);
  return points >= 1 && points <= 99;
}

// The name a menu item gives the selection: its caption without the "&".
std::string MenuItemName(const std::vector<std::string>& captions, int index) {
  return RemoveAccelerator(captions[static_cast<std::size_t>(index)]);
}

void TellOpenRefused(Session& s, const std::string& path, const std::string& why) {
  s.ui().ShowMessage(FileSubject(path) + " cannot be opened: " + why + ".", kOpenFileTitle,
                     MessageIcon::Exclamation);
}

std::string LengthReason(const std::string& length) {
  return "it is not a settings file of this program (it is " + length + " long, a settings file is " +
         std::to_string(kSettingsRecordLength) + ")";
}

std::string ByteCount(std::size_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }

// The roles of the restored list: each on a listed position other than 1
// (which has no row), and three different positions where the list has room
// for them, as the options dialog and the axis-parameter dialog leave them.
// A Calculation window has no axes: a click on a caption there puts x or z
// on position 1, so only its unknown is held to the rule.
std::string RoleMismatch(const Session& s, bool calculation) {
  const std::array<std::pair<const char*, int>, 3> roles = {
      {{"unknown", s.UnknownPosition}, {"x parameter", s.XPosition}, {"z parameter", s.ZPosition}}};
  for (std::size_t i = 0; i < roles.size(); ++i) {
    const auto& [name, p] = roles[i];
    if (p < 0 || p > s.LastPosition)
      return std::string("the position of its ") + name + " (" + std::to_string(p) +
             ") is beyond the parameter list of its procedure, which ends at " +
             std::to_string(s.LastPosition);
    if (p == 1 && s.LastPosition >= 2 && (!calculation || i == 0))
      return std::string("its ") + name + " is at position 1, which is never the unknown nor an axis";
  }
  if (s.LastPosition >= 3 && !calculation &&
      (s.UnknownPosition == s.XPosition || s.UnknownPosition == s.ZPosition || s.XPosition == s.ZPosition))
    return "two of its roles (the unknown, the x and the z parameter) are at the same position";
  return {};
}

template <std::size_t N>
bool SamePrefix(const std::array<std::int16_t, N>& a, const std::array<std::int16_t, N>& b, int count) {
  return std::equal(a.begin(), a.begin() + count, b.begin());
}

// What the restored session says against the read record, or empty when the
// selection the record restores lists its positions, offers its options and
// holds its roles.
std::string RestoredMismatch(Dispatcher& d, const WindowSettings& read) {
  const Session& s = d.session();
  if (d.Module() == nullptr) return "no procedure of this program serves the selection it holds";
  const bool sameOptions =
      s.SampleCount == read.SampleCount && s.TailCount == read.TailCount &&
      s.RejectInLeftTail == read.RejectInLeftTail && s.ParameterChoice == read.ParameterChoice &&
      s.ProcedureKind == read.ProcedureKind && s.OptionState == read.OptionState &&
      s.PlanByPower == read.PlanByPower &&
      s.IntParMode == read.IntParMode && s.OptionCount == read.OptionCount &&
      SamePrefix(s.OptionId, read.OptionId, std::clamp<int>(s.OptionCount, 0, 3)) &&
      s.IntParRowCount == read.IntParRowCount &&
      SamePrefix(s.IntParRowGroup, read.IntParRowGroup, std::clamp<int>(s.IntParRowCount, 0, 4));
  if (!sameOptions) return "its options are not those its procedure offers";
  if (s.LastPosition != read.LastPosition)
    return "its parameter list does not fit its procedure and options (it lists positions 0 to " +
           std::to_string(read.LastPosition) + ", the procedure 0 to " + std::to_string(s.LastPosition) + ")";
  if (std::string roles = RoleMismatch(s, read.kind == 0); !roles.empty()) return roles;
  if (s.ParameterList[static_cast<std::size_t>(s.XPosition)] != read.xId ||
      s.ParameterList[static_cast<std::size_t>(s.ZPosition)] != read.zId)
    return "the parameters its x range and z values belong to are not those at its x and z positions";
  return {};
}

// Opens a window record of the read kind in the dispatcher's session, copies
// the read settings into it under the new number and caption, and restores
// them.  Returns the new record's index; `why` says what does not fit.
int RestoreRecord(Dispatcher& d, const WindowSettings& read, std::string& why) {
  Session& s = d.session();
  const auto kind = static_cast<WindowKind>(read.kind);
  const int index = OpenWindowRecord(s, kind);
  WindowSettings& r = s.records[static_cast<std::size_t>(index)];
  const std::int16_t number = r.number;
  r = read;
  r.number = number;
  r.title = WindowCaption(kind, number);
  r.WindowChanged = false;
  r.WindowClosed = false;
  if (!ActivateWindowSettings(d, index)) {
    why = "it names no test procedure and no sample distribution";
    return index;
  }
  why = RestoredMismatch(d, read);
  return index;
}

// Restores the read record in a session of its own, so that a refusal touches
// neither the user's session nor the flags of its procedure modules.
std::string TrialRestore(const WindowSettings& read) {
  RecordingUserInterface quiet;
  Session trial(quiet);
  Dispatcher d(trial);
  std::string why;
  try {
    RestoreRecord(d, read, why);
  } catch (const std::exception&) {
    why = "its settings cannot be restored";
  }
  return why;
}

// The texts of value boxes: each one number as typing takes it (or "-", the
// text of a result that could not be calculated); `separator` splits a text
// that holds several.
std::string FirstUntypableNumber(const std::string& text, const std::string& separator = {}) {
  if (text == "-") return {};
  std::size_t start = 0;
  while (true) {
    const std::size_t end = separator.empty() ? std::string::npos : text.find(separator, start);
    const std::string part = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!IsWellFormedNumber(part)) return part;
    if (end == std::string::npos) return {};
    start = end + separator.size();
  }
}

bool CheckTypedNumbers(const WindowSettings& r, FieldChecks& c) {
  auto check = [&c](const std::string& text, const Field& f, const std::string& separator = {}) {
    std::string part = FirstUntypableNumber(text, separator);
    if (part.empty()) return true;
    constexpr std::size_t kShown = 24;
    if (part.size() > kShown) part = part.substr(0, kShown) + "...";
    return c.Refuse("its " + f.Text() + " holds \"" + part + "\", which is not a number as it can be typed");
  };
  for (std::size_t p = 0; p < r.valueTexts.size(); ++p)
    if (!check(r.valueTexts[p], {"value text of position", static_cast<int>(p)})) return false;
  const std::array<std::pair<const std::string*, const char*>, 3> range = {
      {{&r.xMin, "x minimum"}, {&r.xMax, "x maximum"}, {&r.xStep, "x step"}}};
  for (const auto& [text, name] : range)
    if (!check(*text, {name})) return false;
  if (!check(r.zValues, {"z values"}, " ")) return false;
  for (std::size_t k = 0; k < r.axisTexts.size(); ++k)
    if (!check(r.axisTexts[k], {"axis text", static_cast<int>(k + 1)})) return false;
  return check(r.extraText, {"further graph text"}, kLineBreak);
}

}  // namespace

bool CheckSettingsRecord(const WindowSettings& r, std::string& why) {
  FieldChecks c(why);
  if (r.kind == static_cast<std::int16_t>(WindowKind::MonteCarlo))
    return c.Refuse(
        "it holds the settings of a Monte Carlo window, and this program has no Monte Carlo window");
  if (r.kind < 0 || r.kind > 2)
    return c.Refuse("its window kind is " + std::to_string(r.kind) +
                    ", not 0 (Calculation), 1 (Table) or 2 (Graph)");
  if (!c.IsFlag(r.IsTestProcedure, {"test-procedure flag"})) return false;
  if (!IsTestItem(r.TestIndex))
    return c.Refuse("its test index is " + std::to_string(r.TestIndex) +
                    ", which is not an item of the Test Procedures menu");
  if (!IsDistributionItem(r.DistributionIndex))
    return c.Refuse("its distribution index is " + std::to_string(r.DistributionIndex) +
                    ", which is not an item of the Sample Distributions menu");
  if (!c.Either(r.SampleCount, 1, 2, {"number of samples"})) return false;
  if (!c.Range(r.TailCount, 1, 3, {"number of tails"})) return false;
  if (!c.IsFlag(r.RejectInLeftTail, {"left-tail flag"})) return false;
  const auto choices = static_cast<int>(ParameterChoicesOf(r.DistributionIndex).size());
  if (!c.Range(r.ParameterChoice, 0, std::max(choices - 1, 0), {"parameter choice"})) return false;
  if (!c.Range(r.ProcedureKind, 0, 2, {"procedure kind"})) return false;
  if (!c.Range(r.InterimCount, 0, 5, {"number of interim analyses"})) return false;
  if (!c.Range(r.IntParRowCount, 0, 4, {"number of parameter rows"})) return false;
  if (!c.AllInRange(r.IntParRowGroup, 0, kGroupCount - 1, "group of parameter row", 1)) return false;
  if (!c.AllInRange(r.IntParMode, 0, 2, "form of parameter group", 0)) return false;
  if (!c.Range(r.OptionCount, 0, 3, {"number of options"})) return false;
  if (!c.AllInRange(r.OptionId, 0, kOptionCount - 1, "option of check box", 1)) return false;
  if (!c.AllInRange(r.OptionState, 0, 1, "state of option", 0)) return false;
  if (!c.Range(r.UnknownPosition, 0, kMaxPosition, {"position of the unknown"})) return false;
  if (!c.Range(r.XPosition, 0, kMaxPosition, {"position of the x parameter"})) return false;
  if (!c.Range(r.ZPosition, 0, kMaxPosition, {"position of the z parameter"})) return false;
  if (!c.Range(r.xId, 0, kCatalogueSize - 1, {"catalogue id of the x parameter"})) return false;
  if (!c.Range(r.zId, 0, kCatalogueSize - 1, {"catalogue id of the z parameter"})) return false;
  if (!c.Range(r.LastPosition, 0, kMaxPosition, {"last list position"})) return false;
  if (!c.Range(r.lastHeading, -1, kHeadingCount - 1, {"index of the last heading line"})) return false;
  if (!IsFontSize(r.fontSize)) return c.Refuse("its font size is not a whole number of points from 1 to 99");
  // The bold flag is also written as 1 (a ticked check box).
  if (r.fontBold != 1 && !c.IsFlag(r.fontBold, {"bold flag"})) return false;
  if (!c.Range(r.TableColumns, 0, 10, {"number of table columns"})) return false;
  if (!c.Range(r.TableDecimals, -1, 8, {"number of table decimals"})) return false;
  if (!CheckTypedNumbers(r, c)) return false;
  if (r.LastPosition > 0) {
    const bool test = r.IsTestProcedure != kFalse;
    const std::string& name = test ? r.TestName : r.DistributionName;
    const std::string expected = test ? MenuItemName(TestMenuCaptions(), r.TestIndex)
                                      : MenuItemName(DistributionMenuCaptions(), r.DistributionIndex);
    if (name != expected)
      return c.Refuse(std::string("its ") + (test ? "test" : "distribution") +
                      " name is not that of the menu item it selects (\"" + expected + "\")");
  }
  return true;
}

std::optional<WindowSettings> DecodeSettingsRecord(std::span<const std::uint8_t> bytes, std::string& why) {
  if (bytes.size() != kSettingsRecordLength) {
    why = LengthReason(ByteCount(bytes.size()));
    return std::nullopt;
  }
  RecordReader in(bytes);
  WindowSettings r;
  r.kind = in.Int({"window kind"});
  r.number = in.Int({"window number"});
  r.title = in.Text({"title"});
  r.IsTestProcedure = in.Int({"test-procedure flag"});
  r.TestIndex = in.Int({"test index"});
  r.TestName = in.Text({"test name"});
  r.DistributionIndex = in.Int({"distribution index"});
  r.DistributionName = in.Text({"distribution name"});
  r.SampleCount = in.Int({"number of samples"});
  r.TailCount = in.Int({"number of tails"});
  r.RejectInLeftTail = in.Int({"left-tail flag"});
  r.ParameterChoice = in.Int({"parameter choice"});
  r.ProcedureKind = in.Int({"procedure kind"});
  r.InterimCount = in.Int({"number of interim analyses"});
  r.IntParRowCount = in.Int({"number of parameter rows"});
  in.Ints(r.IntParRowGroup, "group of parameter row", 1);
  in.Ints(r.IntParMode, "form of parameter group", 0);
  r.OptionCount = in.Int({"number of options"});
  in.Ints(r.OptionId, "option of check box", 1);
  in.Ints(r.OptionState, "state of option", 0);
  r.UnknownPosition = in.Int({"position of the unknown"});
  r.XPosition = in.Int({"position of the x parameter"});
  r.ZPosition = in.Int({"position of the z parameter"});
  r.xId = in.Int({"catalogue id of the x parameter"});
  r.zId = in.Int({"catalogue id of the z parameter"});
  r.xMin = in.Text({"x minimum"});
  r.xMax = in.Text({"x maximum"});
  r.xStep = in.Text({"x step"});
  r.zValues = in.Text({"z values"});
  r.LastPosition = in.Int({"last list position"});
  in.Texts(r.valueTexts, "value text of position", 0);
  r.lastHeading = in.Int({"index of the last heading line"});
  in.Texts(r.headings, "heading line", 1);
  in.Texts(r.graphTexts, "graph text", 1);
  in.Texts(r.axisTexts, "axis text", 1);
  r.extraText = in.Text({"further graph text"});
  r.fontName = in.Text({"font name"});
  r.fontSize = in.Text({"font size"});
  r.fontBold = in.Int({"bold flag"});
  r.TableColumns = in.Int({"number of table columns"});
  r.TableDecimals = in.Int({"number of table decimals"});
  r.PlanByPower = in.TailInt({"plan-by-power flag"}) == kTrue ? kTrue : kFalse;
  if (!in.ok()) {
    why = in.why();
    return std::nullopt;
  }
  if (!CheckSettingsRecord(r, why)) return std::nullopt;
  return r;
}

std::optional<WindowSettings> ReadSettingsFile(Session& s, const std::string& path) {
  std::string why;
  const std::optional<std::string> contents = ReadUserFile(path, kSettingsRecordLength, why);
  if (!contents) {
    TellOpenRefused(s, path, why);
    return std::nullopt;
  }
  if (contents->size() > kSettingsRecordLength) {
    TellOpenRefused(s, path, LengthReason("more than " + ByteCount(kSettingsRecordLength)));
    return std::nullopt;
  }
  const auto* data = reinterpret_cast<const std::uint8_t*>(contents->data());
  auto r = DecodeSettingsRecord(std::span<const std::uint8_t>(data, contents->size()), why);
  if (!r) TellOpenRefused(s, path, why);
  return r;
}

int ApplySettingsRecord(Dispatcher& d, const WindowSettings& read, const std::string& path) {
  Session& s = d.session();
  if (s.Busy) return 0;
  std::string why;
  if (!CheckSettingsRecord(read, why)) {
    TellOpenRefused(s, path, why);
    return 0;
  }
  if (read.LastPosition == 0) {
    s.ui().ShowMessage(FileSubject(path) + " holds no parameter list, so no window was opened.",
                       kOpenFileTitle, MessageIcon::Exclamation);
    return 0;
  }
  why = TrialRestore(read);
  if (why.empty()) {
    // The same restore in the user's session; should it still disagree, the
    // session is put back as it was and its modules rebuilt for it.
    const Session before = s;
    int index = 0;
    try {
      index = RestoreRecord(d, read, why);
    } catch (const std::exception&) {
      why = "its settings cannot be restored";
    }
    if (why.empty()) {
      s.ResultsCurrent = false;
      s.records[static_cast<std::size_t>(index)].WindowChanged = false;
      return index;
    }
    s = before;
    if (!s.TestName.empty() || !s.DistributionName.empty()) {
      try {
        d.RebuildForSelection();
        d.CallBuildParameterList();
      } catch (const std::exception&) {
      }
      s = before;
    }
  }
  TellOpenRefused(s, path, why);
  return 0;
}

int OpenSettingsFile(Dispatcher& d, const std::string& path) {
  const auto read = ReadSettingsFile(d.session(), path);
  return read ? ApplySettingsRecord(d, *read, path) : 0;
}

std::string ProposedSettingsFileName(const WindowSettings& r) {
  static const char* const kStems[] = {"Calc", "Table", "Graph", "Monte"};
  const int kind = r.kind >= 0 && r.kind <= 3 ? r.kind : 0;
  return std::string(kStems[kind]) + std::to_string(r.number) + ".dim";
}

bool WriteSettingsFile(Session& s, const std::string& path) {
  if (s.ActiveRecord < 1 || s.ActiveRecord >= static_cast<int>(s.records.size())) return false;
  WindowSettings& r = s.records[static_cast<std::size_t>(s.ActiveRecord)];
  std::string why;
  const auto bytes = EncodeSettingsRecord(r, &why);
  if (!bytes) {
    s.ui().Warn("The settings of \"" + r.title + "\" cannot be saved. " + why);
    return false;
  }
  std::string error;
  if (!WriteUserFile(path, std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()),
                     error)) {
    s.ui().Warn(error);
    return false;
  }
  r.WindowChanged = false;
  return true;
}

}  // namespace pelmora
