// The benchmarks' worksheet: a headless program with one new window. With
// bulk set, what the setup stores is not recalculated as it goes;
// context() switches that off for the command timed.
#pragma once

#include "cli/headless_frame.h"
#include "core/session.h"
#include "core/worksheet.h"

namespace tw {

struct BenchSheet {
  HeadlessProgram program;
  Worksheet* ws = nullptr;
  explicit BenchSheet(bool bulk = false) {
    program.frame.execute("FILENEW");
    ws = &program.frame.active()->worksheet();
    program.session.bulkUpdate = bulk;
  }
  CommandContext context() {
    program.session.bulkUpdate = false;
    return CommandContext{program.session, ws};
  }
};

}  // namespace tw
