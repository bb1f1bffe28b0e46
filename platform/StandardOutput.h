// The end of a program's standard output: what it wrote must have reached
// its file or pipe, else the run failed however its work went.
#pragma once

// Flushes standard output. On a write error (a full disk, a closed pipe)
// prints "PROGRAM: cannot write to standard output: REASON" on stderr and
// returns 1 when `status` is 0; otherwise returns `status`.
int FinishStandardOutput(const char* program, int status);
