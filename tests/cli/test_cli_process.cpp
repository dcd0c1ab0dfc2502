// pelmora-cli at the edges of its process: standard output on a full device,
// and the temporary file of a save when a signal ends the program or when a
// killed program left one.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_run.h"
#include "cli/signal_cleanup.h"
#include "cli/standard_output.h"
#include "session/temporary_file.h"

namespace pelmora {
namespace {

using testing::RunWith;

// The names in a folder.
std::vector<std::string> Names(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(CliProcess, OutputThatCannotBeWrittenHasItsOwnStatus) {
  std::string requests;
  for (int k = 0; k < 1000; ++k) requests += R"({"test": 0, "unknown": "P-value"})" "\n";
  const std::vector<std::vector<std::string>> calls = {
      {"--test", "0", "--json"},
      {"--batch"},
      {"--test", "0", "--unknown", "Sample Size 1", "--table", "--csv", "--x", "Standard Deviation=0.5:1.5:0.5",
       "--z", "Mean 2=0.5 0.6"},
      {"--list"},
  };
  const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
  ASSERT_GE(full, 0);
  for (const auto& args : calls) {
    std::istringstream in(requests);
    std::ostringstream err;
    EXPECT_EQ(RunCliToDescriptor(args, in, full, err), kExitOutputFailed) << args[0];
    EXPECT_TRUE(err.str().ends_with("pelmora-cli: the output cannot be written: no space left on device\n"))
        << err.str();
    // The requests after a lost answer are not answered.
    if (args[0] == "--batch") {
      EXPECT_GT(in.rdbuf()->in_avail(), 0);
    }
  }
  close(full);

  // Where it can be written, all of it is, in many writes for the batch.
  for (const auto& args : calls) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::istringstream in(requests);
    std::ostringstream err;
    const int status = RunCliToDescriptor(args, in, fileno(file), err);
    std::string written(1 << 22, '\0');
    std::rewind(file);
    written.resize(std::fread(written.data(), 1, written.size(), file));
    std::fclose(file);
    const testing::CliRun direct = RunWith(args, requests);
    EXPECT_EQ(status, direct.status) << args[0];
    EXPECT_EQ(written, direct.out) << args[0];
  }
}

class CliSave : public testing::CliFolderTest {
 protected:
  std::filesystem::path Folder() const { return std::filesystem::path(File("t.dim")).parent_path(); }
};

TEST_F(CliSave, ASignalDuringASaveRemovesItsTemporary) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // A save that has made its temporary and is writing it.
      cli::InstallSignalCleanup();
      const TemporaryFile temporary(Folder().string(), "t.dim");
      const char made = temporary.ok() ? 'y' : 'n';
      if (write(ready[1], &made, 1) != 1) _exit(1);
      pause();
      _exit(0);
    }
    char made = 0;
    EXPECT_EQ(read(ready[0], &made, 1), 1);
    close(ready[0]);
    close(ready[1]);
    const std::vector<std::string> during = Names(Folder());
    kill(child, signal);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(made, 'y');
    EXPECT_TRUE(during.size() == 1 && during[0].rfind(".t.dim.", 0) == 0) << during.size();
    // Ended by the signal itself, as without the handler.
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
    EXPECT_TRUE(Names(Folder()).empty()) << signal;
    for (const std::string& name : Names(Folder())) std::filesystem::remove(File(name));
  }
}

TEST_F(CliSave, TheNextSaveRemovesTheStaleTemporariesOfItsTarget) {
  // Left by killed programs: no one holds their lock.
  const std::vector<std::string> stale = {".t.dim.Ab12Cd.part", ".t.dim.zzzzzz.part"};
  // Those of other files and names that are no temporary's.
  const std::vector<std::string> others = {".u.dim.Ab12Cd.part", ".t.dim.Ab12C.part", "t.dim.Ab12Cd.part",
                                           ".t.dim.Ab12Cd.part.old", ".t.dim.Ab-2Cd.part"};
  for (const auto& names : {stale, others})
    for (const std::string& name : names) std::ofstream(File(name)) << "x";
  // Another save of the same file, under way.
  const TemporaryFile underWay(Folder().string(), "t.dim");
  ASSERT_TRUE(underWay.ok());

  const testing::CliRun save = RunWith({"--test", "0", "--save", File("t.dim")});
  ASSERT_EQ(save.status, kExitSolved) << save.err;
  std::vector<std::string> left = others;
  left.push_back("t.dim");
  left.push_back(std::filesystem::path(underWay.path()).filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(Names(Folder()), left);
}

}  // namespace
}  // namespace pelmora
