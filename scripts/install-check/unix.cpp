// A consumer of the installed unix: the process identifier and the process times.
#include <unistd.h>

#include <cstdio>

#include "System/Posix/Process.h"

int main() {
    using namespace System::Posix::Process;
    int64_t elapsed = processTime(getProcessTimes(), elapsedTime);
    bool ok = processId() == getpid() && elapsed >= 0;
    std::printf("consumer of unix: process %d\n", static_cast<int>(processId()));
    return ok ? 0 : 1;
}
