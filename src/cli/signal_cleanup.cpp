#include "cli/signal_cleanup.h"

#include <signal.h>

#include "session/temporary_file.h"

namespace pelmora::cli {
namespace {

extern "C" void RemoveTemporariesAndEnd(int signal) {
  RemovePendingTemporaryFiles();
  // SA_RESETHAND has put the default action back: raised again, the signal
  // ends the program, at the latest when this handler returns.
  raise(signal);
}

}  // namespace

void InstallSignalCleanup() {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    struct sigaction before {};
    if (sigaction(signal, nullptr, &before) != 0 || before.sa_handler == SIG_IGN) continue;
    struct sigaction cleanup {};
    cleanup.sa_handler = RemoveTemporariesAndEnd;
    // The other two wait while the first one cleans up.
    sigemptyset(&cleanup.sa_mask);
    for (const int other : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&cleanup.sa_mask, other);
    cleanup.sa_flags = SA_RESETHAND;
    sigaction(signal, &cleanup, nullptr);
  }
}

}  // namespace pelmora::cli
