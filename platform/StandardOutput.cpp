#include "platform/StandardOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

int FinishStandardOutput(const char* program, int status) {
  // The stream's flush is stdio's: its error is the one to report.
  errno = 0;
  std::cout.flush();
  const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout) || !std::cout;
  if (!failed) return status;
  const int error = errno;
  std::fprintf(stderr, "%s: cannot write to standard output%s%s\n", program, error ? ": " : "",
               error ? std::strerror(error) : "");
  return status == 0 ? 1 : status;
}
