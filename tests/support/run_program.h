#pragma once
// Runs a program of the build with an argument list (no shell) and collects
// its exit status and what it wrote to standard error.

#include <string>
#include <vector>

namespace kestrel::testing {

struct ProgramRun {
  int status = -1;  // exit status; -1 when it could not run or did not exit
  std::string err;
};

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args);

}  // namespace kestrel::testing
