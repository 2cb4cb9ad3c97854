#include "print/recording_device.h"

namespace tw {

Canvas* RecordingPageDevice::beginPage() {
  if (finished || aborted || open_) return nullptr;
  if (failAtPage > 0 && static_cast<int>(pages.size()) + 1 == failAtPage) return nullptr;
  pages.push_back(std::make_unique<RecordingCanvas>());
  open_ = true;
  return pages.back().get();
}

bool RecordingPageDevice::endPage() {
  bool was = open_;
  open_ = false;
  return was;
}

bool RecordingPageDevice::finish() {
  if (aborted || open_) return false;
  finished = true;
  return true;
}

void RecordingPageDevice::abort() {
  aborted = true;
  open_ = false;
}

std::vector<std::string> pageTexts(const RecordingCanvas& page) {
  std::vector<std::string> out;
  for (const DrawOp& op : page.ops())
    if (op.kind == DrawKind::Text) out.push_back(op.text);
  return out;
}

}  // namespace tw
