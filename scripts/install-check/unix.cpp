// A consumer of the installed unix: the process identifier.
#include <unistd.h>

#include <cstdio>

#include "System/Posix/Process.h"

int main() {
    int64_t pid = rts::int_word(rts::force(System::Posix::Process::getProcessID()), 0);
    std::printf("consumer of unix: process %lld\n", static_cast<long long>(pid));
    return pid == ::getpid() ? 0 : 1;
}
