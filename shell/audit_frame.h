// The frame's side of the audit dialog: AUDIT opens it on the current cell
// and the selection; its range boxes point at the sheet.
#pragma once

namespace tw {

class Frame;

void addAuditFrame(Frame& frame);

}  // namespace tw
