// Directories and files named by `FilePath` character strings: each path is turned into native
// bytes with the file-system encoding, then handled as in System/Directory/OsPath.h.
#pragma once

#include "rts/rts.h"

namespace System::Directory {

using rts::Value;

void createDirectoryIfMissing(bool parents, const Value& path);
bool doesFileExist(const Value& path);
bool doesDirectoryExist(const Value& path);
void removeFile(const Value& path);

}  // namespace System::Directory
