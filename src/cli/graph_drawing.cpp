#include "cli/graph_drawing.h"

#ifdef PELMORA_CLI_GRAPH
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "cli/graph_request.h"
#include "session/user_interface.h"

extern char** environ;

namespace pelmora::cli {
namespace {

// The drawing program: the one the environment names, or the one beside this
// executable.
std::string GraphProgram() {
  if (const char* named = std::getenv(kGraphProgramVariable); named != nullptr && *named != '\0') return named;
  std::error_code failed;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", failed);
  return (failed ? std::filesystem::path(kGraphProgramName) : self.parent_path() / kGraphProgramName).string();
}

struct ProgramRun {
  std::string failure;  // why the program could not be run; empty when it ran
  int status = -1;      // its exit status, -1 when it did not exit by itself
  std::string output;   // its standard output, without a final line break
};

// Runs `program` with `input` on its standard input (an unnamed temporary
// file, so that no pipe can break while the program starts or fails) and
// reads back its standard output; its standard error is ours.
ProgramRun RunProgram(const std::string& program, const std::string& input) {
  ProgramRun run;
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> request(std::tmpfile(), std::fclose);
  int output[2] = {-1, -1};
  if (!request || std::fwrite(input.data(), 1, input.size(), request.get()) != input.size() ||
      std::fflush(request.get()) != 0 || std::fseek(request.get(), 0, SEEK_SET) != 0 ||
      pipe2(output, O_CLOEXEC) != 0) {
    run.failure = std::strerror(errno);
    return run;
  }
  const int requestFd = fileno(request.get());
  fcntl(requestFd, F_SETFD, FD_CLOEXEC);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, requestFd, STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  std::string name = program;
  char* argv[] = {name.data(), nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(output[1]);
  if (spawned != 0) {
    close(output[0]);
    run.failure = std::strerror(spawned);
    return run;
  }
  char buffer[4096];
  for (ssize_t n; (n = read(output[0], buffer, sizeof buffer)) != 0;) {
    if (n > 0)
      run.output.append(buffer, static_cast<std::size_t>(n));
    else if (errno != EINTR)
      break;
  }
  close(output[0]);
  int status = 0;
  pid_t waited = 0;
  while ((waited = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
  }
  if (waited < 0)
    run.failure = std::strerror(errno);  // the status is lost, as where SIGCHLD is ignored
  else if (WIFEXITED(status))
    run.status = WEXITSTATUS(status);
  while (!run.output.empty() && run.output.back() == '\n') run.output.pop_back();
  return run;
}

}  // namespace

int DrawGraph(const WindowSettings& look, const Request& r, const TableContent& content, CliUserInterface& ui,
              std::ostream& err) {
  GraphRequest request;
  request.path = *r.graph;
  std::tie(request.width, request.height) =
      r.graphSize.value_or(std::pair{kDefaultGraphWidth, kDefaultGraphHeight});
  request.dpi = r.graphDpi.value_or(kDefaultGraphDpi);
  request.graphTexts = look.graphTexts;
  request.axisTexts = look.axisTexts;
  request.extraText = look.extraText;
  request.fontName = look.fontName;
  request.fontSize = look.fontSize;
  request.fontBold = look.fontBold;
  request.content = content;

  const std::string program = GraphProgram();
  const ProgramRun run = RunProgram(program, WriteGraphRequest(request));
  if (!run.failure.empty()) {
    err << "pelmora-cli: --graph: the graph cannot be drawn: the drawing program " << Quoted(program)
        << " cannot be run: " << run.failure << '\n';
    return kExitWriteFailed;
  }
  switch (run.status) {
    case kExitSolved:
      return kExitSolved;
    case kExitNotCalculable:
      // An axis without width, reported as the Graph window reports it.
      ui.ShowMessage(run.output, kProgramTitle, MessageIcon::Information);
      return kExitNotCalculable;
    case kExitWriteFailed:
      err << "pelmora-cli: --graph: " << run.output << '\n';
      return kExitWriteFailed;
    default:
      err << "pelmora-cli: --graph: the graph cannot be drawn: the drawing program " << Quoted(program)
          << " failed" << (run.output.empty() ? "" : ": " + run.output) << '\n';
      return kExitWriteFailed;
  }
}

}  // namespace pelmora::cli
#endif
