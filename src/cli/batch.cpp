#include "cli/batch.h"

#include <algorithm>
#include <sstream>
#include <string_view>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/typed_number.h"

namespace pelmora::cli {
namespace {

constexpr const char* kKeys =
    "id, test, distribution, parameter, kind, samples, tails, left_tail, options, modes, set, power, unknown, "
    "table, interims, boundary, boundary_parameter, futility, futility_parameter, binding, fractions, "
    "simulate";
constexpr const char* kSimulateKeys = "studies, seed, threads, data, dropout";

std::string Key(std::string_view key) { return Quoted(key); }

// A number as the flags take it: as written, or, when written with an
// exponent, in plain decimals ("1e-3" is "0.001").  A number that a double
// cannot hold as written is refused, as the flags refuse it.
std::string NumberText(const std::string& where, const std::string& written) {
  if (const std::string fault = RangeFault(written); !fault.empty())
    Usage(where + ": " + written + " is out of range: " + fault);
  return PlainDecimal(written);
}

// The text of a flag's value: a number or a string.
std::string Scalar(const std::string& where, const JsonValue& v) {
  if (v.type == JsonValue::Type::Number) return NumberText(where, v.text);
  if (v.type == JsonValue::Type::String) return v.text;
  Usage(where + " must be a number or a string, not " + JsonTypeName(v.type));
}

const JsonValue& OfType(const std::string& where, const JsonValue& v, JsonValue::Type type) {
  if (v.type != type) Usage(where + " must be " + JsonTypeName(type) + ", not " + JsonTypeName(v.type));
  return v;
}

// The id of a request, as it is echoed: a number as written or a string.
std::string IdJson(const JsonValue& id) {
  if (id.type == JsonValue::Type::Number) return id.text;
  if (id.type == JsonValue::Type::String) return JsonQuote(id.text);
  Usage(Key("id") + " must be a number or a string, not " + JsonTypeName(id.type));
}

// "simulate": {"studies": N, "seed": S, "threads": T, "data": NAME,
// "dropout": D} as --simulate N --seed S --threads T --data NAME --dropout D
// (studies 10000 unless given).  A value out of range is refused as the flag
// refuses it.
void AddSimulation(const std::string& where, const JsonValue& v, std::vector<std::string>& args) {
  std::string studies = "10000";
  std::vector<std::string> more;
  for (const auto& [member, value] : OfType(where, v, JsonValue::Type::Object).members) {
    const std::string at = where + " " + Key(member);
    const std::string text = Scalar(at, value);
    using Check = void (*)(const std::string&);
    Check check = nullptr;
    if (member == "studies") {
      check = [](const std::string& t) { ParseStudyCount(t); };
      studies = text;
    } else if (member == "seed") {
      check = [](const std::string& t) { ParseSeed(t); };
    } else if (member == "threads") {
      check = [](const std::string& t) { ParseThreads(t); };
    } else if (member == "data") {
      check = [](const std::string& t) { ParseDataModel(t); };
    } else if (member == "dropout") {
      check = [](const std::string& t) { ParseDropout(t); };
    } else {
      Usage("unknown key " + at + " (the keys of " + where + " are " + kSimulateKeys + ")");
    }
    try {
      check(text);
    } catch (const UsageError& e) {
      const std::size_t colon = e.message.find(": ");
      throw BatchRefusal{at + " " + Quoted(text) +
                         (colon == std::string::npos ? "" : e.message.substr(colon))};
    }
    if (member != "studies") more.insert(more.end(), {"--" + member, text});
  }
  args.insert(args.end(), {"--simulate", studies});
  args.insert(args.end(), more.begin(), more.end());
}

const char* StatusName(int status) {
  switch (status) {
    case kExitSolved:
      return "solved";
    case kExitNotCalculable:
      return "not calculable";
    case kExitRejected:
      return "rejected";
    default:
      return "usage";
  }
}

// What a single call wrote to standard error, as one text: its lines joined
// by line breaks, each without the program's name before it.
std::string MessageOf(const std::string& err) {
  static constexpr std::string_view kName = "pelmora-cli: ";
  std::string message;
  std::istringstream lines(err);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(kName, 0) == 0) line.erase(0, kName.size());
    message += (message.empty() ? "" : "\n") + line;
  }
  return message;
}

std::string ResultLine(const std::string& id, int status, const std::string& message,
                       const std::string& json) {
  std::string line = "{";
  if (!id.empty()) line += "\"id\": " + id + ", ";
  line += "\"status\": " + JsonQuote(StatusName(status)) + ", \"message\": " + JsonQuote(message);
  // The members of the single call's object follow.
  if (json.size() > 2 && json.front() == '{') return line + ", " + json.substr(1);
  return line + "}\n";
}

// How a line of the input was read.
enum class LineRead { Line, TooLong, End };

// Reads one line without its line end ("\n" or "\r\n").  A line longer
// than `limit` bytes is read to its end, but no more than `limit` + 1 of its
// bytes are kept.
LineRead ReadLine(std::istream& in, std::string& line, std::size_t limit) {
  line.clear();
  std::streambuf& input = *in.rdbuf();
  bool any = false, beyond = false;
  for (int c; (c = input.sbumpc()) != std::char_traits<char>::eof();) {
    any = true;
    if (c == '\n') break;
    if (line.size() <= limit)
      line += static_cast<char>(c);
    else
      beyond = true;
  }
  if (!any) return LineRead::End;
  if (!line.empty() && line.back() == '\r' && !beyond) line.pop_back();
  return beyond || line.size() > limit ? LineRead::TooLong : LineRead::Line;
}

// One line of the input answered.
std::string Answer(const std::string& text) {
  std::string id, error;
  const std::optional<JsonValue> request = ReadJson(text, error);
  if (!request) return ResultLine(id, kExitUsage, "malformed JSON: " + error, "");
  std::vector<std::string> args;
  try {
    if (request->type == JsonValue::Type::Object)
      if (const JsonValue* given = request->Member("id")) id = IdJson(*given);
    args = BatchArguments(*request);
  } catch (const UsageError& e) {
    return ResultLine(id, kExitUsage, e.message, "");
  } catch (const BatchRefusal& e) {
    return ResultLine(id, kExitRejected, e.message, "");
  }
  std::ostringstream out, err;
  const int status = RunCli(args, out, err);
  return ResultLine(id, status, MessageOf(err.str()), status == kExitUsage ? "" : out.str());
}

}  // namespace

std::vector<std::string> BatchArguments(const JsonValue& request) {
  if (request.type != JsonValue::Type::Object)
    Usage("a request must be a JSON object, not " + std::string(JsonTypeName(request.type)));
  std::vector<std::string> args;
  for (const auto& [key, v] : request.members) {
    const std::string where = Key(key);
    if (key == "id") continue;
    if (key == "test" || key == "distribution" || key == "parameter" || key == "kind" || key == "samples" ||
        key == "tails" || key == "unknown" || key == "power") {
      args.insert(args.end(), {"--" + key, Scalar(where, v)});
    } else if (key == "interims" || key == "boundary" || key == "boundary_parameter" || key == "futility" ||
               key == "futility_parameter" || key == "fractions") {
      std::string flag = "--" + key;
      std::replace(flag.begin(), flag.end(), '_', '-');
      args.insert(args.end(), {flag, Scalar(where, v)});
    } else if (key == "binding") {
      if (OfType(where, v, JsonValue::Type::Boolean).boolean) args.push_back("--binding");
    } else if (key == "left_tail") {
      if (OfType(where, v, JsonValue::Type::Boolean).boolean) args.push_back("--left-tail");
    } else if (key == "options") {
      for (const JsonValue& o : OfType(where, v, JsonValue::Type::Array).items)
        args.insert(args.end(), {"--option", Scalar("an item of " + where, o)});
    } else if (key == "modes") {
      for (const auto& [group, form] : OfType(where, v, JsonValue::Type::Object).members)
        args.insert(args.end(), {"--mode", group + "=" + Scalar("the form of group " + Key(group), form)});
    } else if (key == "set") {
      for (const auto& [name, value] : OfType(where, v, JsonValue::Type::Object).members)
        args.insert(args.end(), {"--set", name + "=" + Scalar("the value of " + Key(name), value)});
    } else if (key == "simulate") {
      AddSimulation(where, v, args);
    } else if (key == "table") {
      const JsonValue& table = OfType(where, v, JsonValue::Type::Object);
      args.push_back("--table");
      for (const auto& [axis, range] : table.members) {
        if (axis != "x" && axis != "z")
          Usage("unknown key " + Key(axis) + " in " + where + " (its keys are x and z)");
        args.insert(args.end(),
                    {"--" + axis, OfType(where + " " + Key(axis), range, JsonValue::Type::String).text});
      }
    } else {
      Usage("unknown key " + where + " (the keys are " + kKeys + ")");
    }
  }
  args.push_back("--json");
  return args;
}

int RunBatch(std::istream& in, std::ostream& out) {
  static const std::string kTooLong = "the line is longer than " + std::to_string(kBatchLineLimit) +
                                      " bytes (1 MiB), the limit of a request; it is not read";
  std::string line;
  for (LineRead read; (read = ReadLine(in, line, kBatchLineLimit)) != LineRead::End;) {
    if (read == LineRead::TooLong)
      out << ResultLine("", kExitUsage, kTooLong, "");
    else if (line.find_first_not_of(" \t") != std::string::npos)
      out << Answer(line);
    else
      continue;
    // A caller that waits for each answer before it writes the next request
    // gets it at once; a stream of requests is answered in large writes.
    if (in.rdbuf()->in_avail() <= 0) out.flush();
    // Answers that cannot be written are lost: the requests after them too.
    if (!out) return kExitOutputFailed;
  }
  out.flush();
  return out ? kExitSolved : kExitOutputFailed;
}

}  // namespace pelmora::cli
