// Directories and files named by native paths (`OsPath`: bytes passed to the system unchanged).
// Effects happen when these functions are called; failures raise the I/O error of the failed call.
#pragma once

#include <string_view>

#include "rts/rts.h"

namespace System::Directory::OsPath {

using rts::Value;

// `createDirectoryIfMissing parents path`: creates the directory, and with `parents` every missing
// directory above it, with mode 0o777 less the file-creation mask. A directory that already exists
// (also one that another thread or process creates meanwhile) is no error; anything else in the
// way (a file, a link to a file) is: the error of the failed creation ("createDirectory").
void createDirectoryIfMissing(bool parents, const Value& path);
// `doesFileExist path`: whether the path names an existing file that is not a directory (links
// followed); false when it cannot be examined.
bool doesFileExist(const Value& path);
// `doesDirectoryExist path`: whether the path names an existing directory.
bool doesDirectoryExist(const Value& path);
// `removeFile path`: removes the directory entry ("removeFile" errors, a directory included).
void removeFile(const Value& path);

// The same over C++ bytes.
void createDirectoryIfMissingBytes(bool parents, std::string_view path);
bool doesFileExistBytes(std::string_view path);
bool doesDirectoryExistBytes(std::string_view path);
void removeFileBytes(std::string_view path);

}  // namespace System::Directory::OsPath
