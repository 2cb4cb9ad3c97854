#include "core/program_settings.h"

namespace tw {

std::vector<NamedFormat> defaultFormatList() {
  return {{"F2", "Fixed"},    {"S2", "Science"},  {"M2", "Comma"},
          {"G", "General"},   {"P2", "Percent"},  {"E2", "Eng"},
          {"C2", "Currency"}, {"D0", "YY:MM:DD"}, {"X", "Text"}};
}

}  // namespace tw
