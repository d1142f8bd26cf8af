// Runs the built zantrel command line as a user would, for the CLI tests.
#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace zantrel::test {

struct CliResult {
  int exitCode;
  std::string out;
};

// Runs the CLI with a shell command line (after env, e.g. "VAR=x"); stderr is
// appended to stdout.
inline CliResult Cli(const std::string& args, const std::string& env = "") {
  std::string command = env + " " + std::string(ZANTREL_CLI) + " " + args + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  std::array<char, 4096> buffer;
  while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) out.append(buffer.data(), n);
  int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

}  // namespace zantrel::test
