#include "System/File/PlatformPath/Internal.h"

#include "System/File/OsPath/Internal.h"
#include "rts/Profiling.h"

VUX_MODULE("System.File.PlatformPath.Internal");

namespace System::File::PlatformPath::Internal {

namespace Worker = System::File::OsPath::Internal;

Value openFile(Value path, Value mode) { return Worker::openFile(std::move(path), std::move(mode)); }
Value openBinaryFile(Value path, Value mode) {
    return Worker::openBinaryFile(std::move(path), std::move(mode));
}
Value openExistingFile(Value path, Value mode) {
    return Worker::openExistingFile(std::move(path), std::move(mode));
}
Value openFileWithCloseOnExec(Value path, Value mode) {
    return Worker::openFileWithCloseOnExec(std::move(path), std::move(mode));
}
Value openExistingFileWithCloseOnExec(Value path, Value mode) {
    return Worker::openExistingFileWithCloseOnExec(std::move(path), std::move(mode));
}
Value withFile(Value path, Value mode, Value act) {
    return Worker::withFile(std::move(path), std::move(mode), std::move(act));
}
Value withBinaryFile(Value path, Value mode, Value act) {
    return Worker::withBinaryFile(std::move(path), std::move(mode), std::move(act));
}
Value withFile_prime(Value path, Value mode, Value act) {
    return Worker::withFile_prime(std::move(path), std::move(mode), std::move(act));
}
Value withBinaryFile_prime(Value path, Value mode, Value act) {
    return Worker::withBinaryFile_prime(std::move(path), std::move(mode), std::move(act));
}
Value readFile(Value path) { return Worker::readFile(std::move(path)); }
Value readFile_prime(Value path) { return Worker::readFile_prime(std::move(path)); }
Value writeFile(Value path, Value bytes) { return Worker::writeFile(std::move(path), std::move(bytes)); }
Value writeFile_prime(Value path, Value bytes) {
    return Worker::writeFile_prime(std::move(path), std::move(bytes));
}
Value appendFile(Value path, Value bytes) { return Worker::appendFile(std::move(path), std::move(bytes)); }
Value appendFile_prime(Value path, Value bytes) {
    return Worker::appendFile_prime(std::move(path), std::move(bytes));
}
Value withOpenFile_prime(Value path, Value mode, bool binary, bool existing, bool cloexec, Value action,
                         bool closeFinally) {
    return Worker::withOpenFile_prime(std::move(path), std::move(mode), binary, existing, cloexec,
                                      std::move(action), closeFinally);
}
Value augmentError(Value location, Value path, Value action) {
    return Worker::augmentError(std::move(location), std::move(path), std::move(action));
}
Value addFilePathToIOError(Value location, Value path, Value e) {
    return Worker::addFilePathToIOError(std::move(location), std::move(path), std::move(e));
}

}  // namespace System::File::PlatformPath::Internal
