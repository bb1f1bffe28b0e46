// End-to-end tests of melotrix-cli: a TempDir for the run's files and
// helpers to make and read sample bytes and `state` records.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "resources/StringTable.h"

class CliFixture : public ::testing::Test {
 protected:
  static std::string Bytes8(const std::vector<uint8_t>& raw) { return std::string(raw.begin(), raw.end()); }
  static std::string Bytes16(const std::vector<int16_t>& samples) {
    std::string bytes;
    for (int16_t s : samples) {
      bytes += char(uint16_t(s) & 0xFF);
      bytes += char(uint16_t(s) >> 8);
    }
    return bytes;
  }
  // A message as melotrix-cli prints it.
  static std::string Shown(int id) { return std::string(KLoadMessageText(id)) + "\n\n"; }

  // The key=value lines of `state` (the last record when several were printed).
  static std::map<std::string, std::string> State(const std::string& out) {
    std::map<std::string, std::string> state;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
      size_t equals = line.find('=');
      if (equals != std::string::npos) state[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return state;
  }

  // Runs a script that must show no message, and returns its stdout.
  std::string Quiet(const std::string& script) {
    CliResult r = cli_.Script(script);
    EXPECT_EQ(r.status, 0) << script << "\n" << r.err;
    EXPECT_EQ(r.err, "") << script;
    return r.out;
  }
  // The frames a script leaves in the current voice, through `dump`.
  std::string Frames(const std::string& script) {
    Quiet(script + "; dump frames.out");
    return ReadFile(dir_ / "frames.out");
  }

  TempDir dir_;
  CliRunner cli_{dir_};
};
