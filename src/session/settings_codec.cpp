#include "session/settings_record.h"

#include <array>

#include "format/code_page.h"
#include "session/planning_settings.h"

namespace pelmora {

namespace {

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

class RecordReader {
 public:
  explicit RecordReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool ok() const { return why_.empty(); }
  const std::string& why() const { return why_; }

  std::int16_t Int(const RecordField& f) {
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
  std::int16_t TailInt(const RecordField& f) { return bytes_.size() - at_ < 2 ? 0 : Int(f); }
  // A text in the record's tail, empty where the record has no room for it.
  std::string TailText(const RecordField& f) { return bytes_.size() - at_ < 2 ? std::string() : Text(f); }
  std::string Text(const RecordField& f) {
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

}  // namespace

std::string CannotBeKeptMessage(const std::string& character) {
  return "\"" + character +
         "\" cannot be kept in a settings file, which holds only the characters of the Windows code page "
         "1252 (Western European).";
}

std::string RecordLengthReason(const std::string& length) {
  return "it is not a settings file of this program (it is " + length + " long, a settings file is " +
         std::to_string(kSettingsRecordLength) + ")";
}

std::string ByteCount(std::size_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }

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
  // reader takes nothing but -1 there for the flag.  The planning text
  // (interim analyses, dropout, simulation) follows it where a design has
  // one, the flag then written as 0 for a design not planned by power.
  const std::string planning = EncodePlanningText(r.planning, r.kind, r.InterimCount, r.PlanByPower != kFalse);
  if (r.PlanByPower != kFalse)
    w.Int(kTrue);
  else if (!planning.empty())
    w.Int(kFalse);
  if (!planning.empty()) w.Text(planning);
  return w.Finish(why);
}

std::optional<WindowSettings> DecodeSettingsRecord(std::span<const std::uint8_t> bytes, std::string& why) {
  if (bytes.size() != kSettingsRecordLength) {
    why = RecordLengthReason(ByteCount(bytes.size()));
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
  const std::string planning = in.TailText({"planning settings"});
  if (!in.ok()) {
    why = in.why();
    return std::nullopt;
  }
  if (!DecodePlanningText(planning, r.planning, why)) return std::nullopt;
  if (!CheckSettingsRecord(r, why)) return std::nullopt;
  return r;
}

}  // namespace pelmora
