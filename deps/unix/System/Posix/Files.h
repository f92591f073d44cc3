// File modes and the process's file-creation mask.
#pragma once

#include <cstdint>

#include "rts/rts.h"

namespace System::Posix::Files {

using rts::Value;

// Permission bits (FileMode values, unsigned 32-bit).
inline constexpr uint32_t ownerReadMode = 0400, ownerWriteMode = 0200, groupReadMode = 040,
                          groupWriteMode = 020, otherReadMode = 04, otherWriteMode = 02;
// `stdFileMode`: read and write for owner, group and others (0o666); the system reduces it by
// the file-creation mask when a file or semaphore is created with it.
inline constexpr uint32_t stdFileModeBits = 0666;
extern const rts::StaticCon<0, 1> stdFileMode_closure;
inline Value stdFileMode() { return stdFileMode_closure.value(); }

// `setFileCreationMask mask`: sets the process's mask and answers the previous one.
uint32_t setFileCreationMask(uint32_t mask);
// The current mask, read from the process's status without changing it.
uint32_t getFileCreationMask();

}  // namespace System::Posix::Files
