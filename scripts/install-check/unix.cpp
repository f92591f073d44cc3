// A consumer of the installed unix: the process identifier.
#include <unistd.h>
#include <cstdio>

#include "System/Posix/Process.h"

int main() {
    int32_t pid = System::Posix::Process::processId();
    std::printf("consumer of unix: process %d\n", pid);
    return pid == getpid() ? 0 : 1;
}
