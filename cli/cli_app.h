// talloway-cli: a worksheet driven from the command line. Actions run in
// the order given; see docs/USAGE.md.
#pragma once

#include "cli/dump_writer.h"

#include <ostream>
#include <string>
#include <vector>

#include "core/cell.h"

namespace tw {

class Worksheet;

// Exit status: 0, or 1 when a worksheet file is refused or cannot be
// written (the message has been shown), 2 when an argument cannot be used.
// LeaveToExit: the process exits right after, without freeing what the run
// made (the caller then ends it with _Exit once the streams are flushed).
enum class Teardown { Full, LeaveToExit };
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           Teardown teardown = Teardown::Full);

}  // namespace tw
