#include "session/settings_file.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace pelmora {

namespace {

// The characters of cp1252 bytes 0x80..0x9F (0 where the byte is unused).
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

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
  std::optional<std::vector<std::uint8_t>> Finish() {
    if (!fits_ || bytes_.size() > kSettingsRecordLength) return std::nullopt;
    bytes_.resize(kSettingsRecordLength, 0);
    return bytes_;
  }

 private:
  std::vector<std::uint8_t> bytes_;
  bool fits_ = true;
};

}  // namespace

std::string ToWindowsAnsi(const std::string& utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t c = NextCharacter(utf8, i);
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out += static_cast<char>(c);
      continue;
    }
    char byte = '?';
    for (std::size_t k = 0; k < kHighControls.size(); ++k)
      if (kHighControls[k] != 0 && kHighControls[k] == c) byte = static_cast<char>(0x80 + k);
    out += byte;
  }
  return out;
}

std::string FromWindowsAnsi(const std::string& ansi) {
  std::string out;
  for (char ch : ansi) {
    const auto b = static_cast<unsigned char>(ch);
    char32_t c = b;
    if (b >= 0x80 && b <= 0x9F) c = kHighControls[b - 0x80] != 0 ? kHighControls[b - 0x80] : 0xFFFD;
    AppendUtf8(out, c);
  }
  return out;
}

std::optional<std::vector<std::uint8_t>> EncodeSettingsRecord(const WindowSettings& r) {
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
  return w.Finish();
}

std::string ProposedSettingsFileName(const WindowSettings& r) {
  static const char* const kStems[] = {"Calc", "Table", "Graph", "Monte"};
  const int kind = r.kind >= 0 && r.kind <= 3 ? r.kind : 0;
  return std::string(kStems[kind]) + std::to_string(r.number) + ".dim";
}

bool WriteSettingsFile(Session& s, const std::string& path) {
  if (s.ActiveRecord < 1 || s.ActiveRecord >= static_cast<int>(s.records.size())) return false;
  WindowSettings& r = s.records[static_cast<std::size_t>(s.ActiveRecord)];
  const auto bytes = EncodeSettingsRecord(r);
  if (!bytes) {
    s.ui().Warn("The settings of " + r.title + " are too long for a settings file and were not saved.");
    return false;
  }
  const std::filesystem::path target(path);
  std::filesystem::path temporary = target;
  temporary += ".saving";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      s.ui().Warn("The file " + path + " could not be written.");
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, target, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    s.ui().Warn("The file " + path + " could not be written.");
    return false;
  }
  r.WindowChanged = false;
  return true;
}

}  // namespace pelmora
