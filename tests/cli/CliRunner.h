// Runs the built melotrix-cli with its system folder and home inside a
// TempDir, and collects its exit status, stdout and stderr.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/TempDir.h"

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string Quote(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

class CliRunner {
 public:
  explicit CliRunner(const TempDir& dir) : dir_(dir) {}

  // `input` becomes the program's standard input.
  CliResult Run(const std::vector<std::string>& args, const std::string& input = {}) const {
    WriteFile(dir_ / "cli.in", input);
    std::string line = "cd " + Quote(dir_.Path()) + " && env MELOTRIX_SYSTEM_DIR=" + Quote(SystemDir()) +
                       " HOME=" + Quote(dir_.Path()) + " " + Quote(MELOTRIX_CLI_PATH);
    for (const std::string& arg : args) line += " " + Quote(arg);
    line += " <cli.in >cli.out 2>cli.err";
    int raw = std::system(line.c_str());
    CliResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadFile(dir_ / "cli.out");
    result.err = ReadFile(dir_ / "cli.err");
    return result;
  }
  CliResult Script(const std::string& script) const { return Run({"-e", script}); }

  std::string SystemDir() const { return dir_ / "system"; }

 private:
  const TempDir& dir_;
};
