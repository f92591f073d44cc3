// Opening files by platform path: the public face of System/File/PlatformPath/Internal.h.
#pragma once

#include "System/File/PlatformPath/Internal.h"

namespace System::File::PlatformPath {

using Internal::appendFile;
using Internal::appendFile_prime;
using Internal::openBinaryFile;
using Internal::openExistingFile;
using Internal::openExistingFileWithCloseOnExec;
using Internal::openFile;
using Internal::openFileWithCloseOnExec;
using Internal::readFile;
using Internal::readFile_prime;
using Internal::withBinaryFile;
using Internal::withBinaryFile_prime;
using Internal::withFile;
using Internal::withFile_prime;
using Internal::writeFile;
using Internal::writeFile_prime;

}  // namespace System::File::PlatformPath
