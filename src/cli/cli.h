// pelmora-cli: the engine without windows.  A command line chooses a
// procedure and its options the way the menus and the options dialog do, or
// opens a settings file as File > Open File... does; sets value texts the way
// the Calculation window's boxes do, and solves once or over a range; the
// result is printed as text, JSON, CSV or rich text, the results of a range
// are drawn into a picture file where the build has Qt, and the window's
// settings are saved as Save As saves them.  With --batch it answers one
// request per line of its input, each as one JSON line.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "session/user_interface.h"

namespace pelmora {

// Exit statuses of the program.
inline constexpr int kExitSolved = 0;
inline constexpr int kExitUsage = 1;
inline constexpr int kExitRejected = 2;
inline constexpr int kExitNotCalculable = 3;
inline constexpr int kExitWriteFailed = 4;
inline constexpr int kExitFileRefused = 5;
// Standard output could not be written (a full disk, a failing device):
// what was printed is lost.  It takes the place of any other status.
inline constexpr int kExitOutputFailed = 6;

// The program's usage text (what --help prints).
const std::string& CliHelpText();

// A JSON string literal of a UTF-8 text: quotes, backslashes and control
// characters escaped, every other character as it stands, and each byte that
// is not part of a well-formed UTF-8 character as U+FFFD ("\ufffd"): the
// literal is valid UTF-8 whatever the text.
std::string JsonQuote(std::string_view text);

// The user interface of the command line: every message is written to the
// error stream as it comes and kept in order; questions are answered No.
class CliUserInterface : public UserInterface {
 public:
  explicit CliUserInterface(std::ostream& err) : err_(&err) {}
  void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
  void Beep() override {}
  Answer AskYesNoCancel(const std::string& text, const std::string& title) override;

  const std::vector<std::string>& messages() const { return messages_; }

 private:
  std::ostream* err_;
  std::vector<std::string> messages_;
};

// Runs the program on its arguments (without the program name), reading the
// requests of --batch from `in`, writing results to `out` and messages to
// `err`; returns the exit status.  Never throws.  A graph is drawn by the
// program pelmora-graph (see cli/graph_drawing.h).
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);
// The same, reading the standard input.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace pelmora
