// The output of the debugging functions: one line on standard output or standard error, written
// through the C library's streams. Errors of the streams are not reported.
#include <stdio.h>

#include "cbits/cbits.h"

extern "C" {

void debugLn(const char* s) { puts(s); }
void debugErrLn(const char* s) { fprintf(stderr, "%s\n", s); }

}  // extern "C"
