// Opening files by native path: the public face of System/File/OsPath/Internal.h.
#pragma once

#include "System/File/OsPath/Internal.h"

namespace System::File::OsPath {

using Internal::appendFile;
using Internal::appendFile_prime;
using Internal::openBinaryFile;
using Internal::openBinaryTempFile;
using Internal::openBinaryTempFileWithDefaultPermissions;
using Internal::openExistingFile;
using Internal::openExistingFileWithCloseOnExec;
using Internal::openFile;
using Internal::openFileWithCloseOnExec;
using Internal::openTempFile;
using Internal::openTempFileWithDefaultPermissions;
using Internal::readFile;
using Internal::readFile_prime;
using Internal::withBinaryFile;
using Internal::withBinaryFile_prime;
using Internal::withFile;
using Internal::withFile_prime;
using Internal::writeFile;
using Internal::writeFile_prime;

}  // namespace System::File::OsPath
