// Mapped swap files that another program cuts short. Touching a mapped page
// past the new end of such a file raises SIGBUS; the handler puts a page of
// zeros in its place, so the access completes instead of killing the
// program, and counts the fault. The operation that was running then sees
// the count change, gives the file its length back and reports it.
#pragma once

#include <cstdint>

namespace platform {

// Installs the handler (once; later calls do nothing). A SIGBUS of another
// cause goes to the handler that was there before.
void CatchMappedFileFaults();
// How many mapped pages were found past the end of their file so far.
uint64_t MappedFileFaults();

// Notes the fault count when made; Faulted() tells whether it has moved.
class KMappedFaultWatch {
 public:
  KMappedFaultWatch() : start_(MappedFileFaults()) {}
  bool Faulted() const { return MappedFileFaults() != start_; }

 private:
  uint64_t start_;
};

}  // namespace platform
