#include "System/Posix/Files.h"

#include <sys/stat.h>

#include <fstream>
#include <mutex>
#include <string>

namespace System::Posix::Files {

constinit const rts::StaticCon<0, 1> stdFileMode_closure{0, rts::word_slot(stdFileModeBits)};

uint32_t setFileCreationMask(uint32_t mask) {
    return static_cast<uint32_t>(umask(static_cast<mode_t>(mask)));
}

uint32_t getFileCreationMask() {
    // Linux reports the mask in /proc/self/status; elsewhere, or without /proc, it is read by
    // setting and restoring it, which is not atomic with respect to other threads.
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<uint32_t>(std::stoul(line.substr(6), nullptr, 8));
    uint32_t mask = setFileCreationMask(0);
    setFileCreationMask(mask);
    return mask;
}

}  // namespace System::Posix::Files
