#include "core/host.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "core/canvas.h"
#include "core/day_serial.h"

namespace tw {

ModeLook modeLook(Mode m) {
  switch (m) {
    case Mode::Ready:
      return {"READY", 0x1F};
    case Mode::Edit:
      return {"EDIT", 0x3F};
    case Mode::Value:
      return {"VALUE", 0xB4};
    case Mode::Label:
      return {"LABEL", 0xB1};
    case Mode::Question:
      return {"?", 0xB4};
    case Mode::Point:
      return {"POINT", 0x70};
    case Mode::Range:
      return {"RANGE", 0xB1};
    case Mode::Wait:
      return {" WAIT! ", 0x4F};
    case Mode::Menu:
      return {"MENU", 0x1F};
    case Mode::Step:
      return {"Step", 0x4F};
  }
  return {"READY", 0x1F};
}

int Host::textWidth(std::string_view text, const Font& font) {
  const double size = font.size > 0 ? font.size : 10;
  const double pixels = static_cast<double>(text.size()) * FixedMetrics::kCharWidth * size / 10;
  return static_cast<int>(pixels + 0.5);
}

std::string Host::currentDirectory() {
  std::error_code ec;
  auto p = std::filesystem::current_path(ec);
  return ec ? std::string(".") : p.string();
}

static std::tm localNow() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm;
}

double Host::secondsSinceMidnight() {
  std::tm tm = localNow();
  return tm.tm_hour * 3600.0 + tm.tm_min * 60.0 + tm.tm_sec;
}

int Host::daySerialToday() {
  std::tm tm = localNow();
  return static_cast<int>(DateSerial(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday));
}

std::string takeFilterChoice(std::string answer, const FileRequest& request) {
  size_t bar = answer.rfind('|');
  if (bar == std::string::npos || bar + 1 >= answer.size()) return answer;
  int n = 0;
  for (size_t i = bar + 1; i < answer.size(); ++i) {
    if (answer[i] < '0' || answer[i] > '9' || n > 1000) return answer;
    n = n * 10 + (answer[i] - '0');
  }
  if (n >= 1 && n <= static_cast<int>(request.filters.size())) request.filter = n - 1;
  answer.resize(bar);
  return answer;
}

}  // namespace tw
