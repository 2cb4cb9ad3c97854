// The common error flag with its pending message. Lower layers raise it;
// the operation at the edge decides whether to show it.
#pragma once

#include <string>

namespace tw {

constexpr int kErrOutOfRange = 101;

struct ErrorState {
  bool raised = false;
  int code = 0;
  std::string message;

  void raise(int errorCode = 0, std::string text = {}) {
    raised = true;
    code = errorCode;
    if (!text.empty()) message = std::move(text);
  }
  void clear() {
    raised = false;
    code = 0;
    message.clear();
  }
};

}  // namespace tw
