// KStatus: how every layer reports "failed, and here is the text for the
// user": a flag and a message, plus a code where the caller must tell
// failures apart. Hot loops keep plain flags; the object whose step failed
// then holds the KStatus that says why.
#pragma once

#include <string>
#include <utility>

struct KStatus {
  bool Ok = true;
  std::string Message;
  int Code = 0;

  static KStatus Success() { return {}; }
  static KStatus Failure(std::string message, int code = 0) { return {false, std::move(message), code}; }
  explicit operator bool() const { return Ok; }
};
