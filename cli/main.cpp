// talloway-cli: the headless spreadsheet.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_app.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + 1, argv + argc);
  int status = tw::runCli(args, std::cout, std::cerr, tw::Teardown::LeaveToExit);
  std::cout.flush();
  std::cerr.flush();
  // Everything the run wrote is out; the memory goes back with the process.
  if (!std::cout || !std::cerr) status = status ? status : 1;
  std::_Exit(status);
}
