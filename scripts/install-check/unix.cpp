// A consumer of the installed unix: the process identifier and the standard file mode.
#include <unistd.h>

#include <cstdio>

#include "System/Posix/Files.h"
#include "System/Posix/Process.h"

int main() {
    int32_t pid = System::Posix::Process::processId();
    std::printf("consumer of unix: process %d, standard mode %o\n", pid,
                System::Posix::Files::stdFileModeBits);
    return pid == getpid() ? 0 : 1;
}
