// What a command line selects: the procedure and its options, chosen as the
// menus and the options dialog choose them, and the parameters its flags name.
#pragma once

#include <string>

#include "cli/arguments.h"
#include "engine/dispatch.h"
#include "session/session.h"

namespace pelmora::cli {

// Chooses the procedure and its options as the menus and the options dialog
// do, then builds the parameter list.  Returns false when no module serves the
// selection.  A choice that is not offered is a UsageError.
bool ApplySelection(Dispatcher& d, const Request& r);

// The list position a NAME stands for (an id or a caption), never position 1;
// a name that stands for none, or for several, is a UsageError that lists the
// parameters.
int ResolveParameter(const Session& s, const std::string& flag, const std::string& name);

}  // namespace pelmora::cli
