// The signals that end pelmora-cli from outside (SIGTERM, SIGINT, SIGHUP)
// take the temporary file of a settings file being saved with them, and then
// end the program as they would have.
#pragma once

namespace pelmora::cli {

// Installs the handler of the three signals, each unless it is ignored (as
// under nohup), which stays so.  The handler is async-signal-safe: it
// unlinks the temporaries whose paths were kept beforehand
// (RemovePendingTemporaryFiles) and raises the signal again with its default
// action.
void InstallSignalCleanup();

}  // namespace pelmora::cli
