// Runs the real talloway-cli binary, as the command-line tests do.
#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace tw::test {

struct CliResult {
  int status = -1;
  std::string out;
};

// Standard error joins the output when withErrors; a settings directory of
// its own is given when home is not empty.
inline CliResult runCli(const std::vector<std::string>& args, bool withErrors = false,
                        const std::string& home = {}) {
  auto quote = [](const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  };
  std::string command = home.empty() ? "" : "TALLOWAY_HOME=" + quote(home) + " ";
  command += TALLOWAY_CLI;
  for (const std::string& a : args) command += " " + quote(a);
  command += withErrors ? " 2>&1" : " 2>/dev/null";
  CliResult run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace tw::test
