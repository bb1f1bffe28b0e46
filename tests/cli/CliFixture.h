// The fixture of the end-to-end tests of melotrix-cli: each test runs the
// built program with its system folder and home inside a TempDir and reads
// what it printed.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "resources/StringTable.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using Words = std::vector<std::string>;

struct CliResult {
  int status;
  std::string out, err;
};

inline std::string Quote(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A message as melotrix-cli prints it.
inline std::string Shown(const std::string& text) { return text + "\n\n"; }
inline std::string Shown(int id) { return Shown(KLoadMessageText(id)); }

// The lines of `text` that hold `part` (or lack it), joined by blanks.
inline std::string Lines(const std::string& text, const std::string& part, bool holding = true) {
  std::istringstream lines(text);
  std::string joined;
  for (std::string line; std::getline(lines, line);)
    if ((line.find(part) != std::string::npos) == holding) joined += (joined.empty() ? "" : " ") + line;
  return joined;
}

class Cli : public ::testing::Test {
 protected:
  // `input` becomes the program's standard input.
  CliResult Run(const Words& args, const std::string& input = {}) {
    WriteFile(dir_ / "cli.in", input);
    // No wave device: the PCM named does not exist.
    std::string line = "cd " + Quote(dir_.Path()) + " && env MELOTRIX_SYSTEM_DIR=" + Quote(System()) +
                       " HOME=" + Quote(dir_.Path()) + " MELOTRIX_PCM=melotrix_none " + Quote(MELOTRIX_CLI_PATH);
    for (const std::string& arg : args) line += " " + Quote(arg);
    int raw = std::system((line + " <cli.in >cli.out 2>cli.err").c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(dir_ / "cli.out"), ReadFile(dir_ / "cli.err")};
  }
  // Runs a script that must show no message, and returns its stdout.
  std::string Quiet(const std::string& script) {
    CliResult r = Run({"-e", script});
    EXPECT_EQ(r.status, 0) << script;
    EXPECT_EQ(r.err, "") << script;
    return r.out;
  }
  std::string System() const { return dir_ / "system"; }
  bool Exists(const std::string& name) const { return fs::exists(dir_ / name); }

  TempDir dir_;
};
