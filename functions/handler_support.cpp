#include "functions/handler_support.h"

#include <cmath>

#include "core/display_format.h"
#include "core/session.h"

namespace tw {

std::string argumentText(Evaluator& ev, EvalState& st, int n) {
  const Slot& s = ev.argument(st, n);
  switch (s.type) {
    case SlotType::String:
      return std::string(st.text(s));
    case SlotType::Missing:
      return {};
    default:
      return GeneralText(s.number, ev.session().settings().decimalSeparator);
  }
}

void giveResult(Evaluator& ev, EvalState& st, MathResult r) {
  if (r.error || !std::isfinite(r.value)) {
    st.error = true;
    ev.setResult(st, 1);
    return;
  }
  ev.setResult(st, r.value);
}

}  // namespace tw
