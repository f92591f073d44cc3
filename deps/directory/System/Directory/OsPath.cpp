#include "System/Directory/OsPath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "System/OsString.h"
#include "System/Posix/Error.h"
#include "System/Posix/IO.h"

namespace System::Directory::OsPath {

namespace Error = System::Posix::Error;

namespace {
// stat(2) of the path: 1 directory, 0 something else, -1 nothing there (or not examinable).
int kindOf(std::string_view path) {
    if (path.find('\0') != std::string_view::npos) return -1;
    std::string p(path);
    struct stat st;
    if (stat(p.c_str(), &st) != 0) return -1;
    return S_ISDIR(st.st_mode) ? 1 : 0;
}

// mkdir(2) of one directory: 0 when it was created or a directory is there (however it got
// there), otherwise the errno of the failure.
int createOne(std::string_view dir) {
    std::string p(dir);
    if (mkdir(p.c_str(), 0777) == 0) return 0;
    int err = errno;
    // An existing entry, or one that forbids creating it, is fine when it is a directory.
    bool mayExist = err == EEXIST || err == EACCES || err == EPERM || err == EROFS;
    return mayExist && kindOf(dir) == 1 ? 0 : err;
}

// The path without its last component and the separators before it ("" when none is left).
std::string_view parentOf(std::string_view dir) {
    size_t end = dir.size();
    while (end > 1 && dir[end - 1] == '/') --end;  // trailing separators
    while (end > 0 && dir[end - 1] != '/') --end;  // the last component
    while (end > 1 && dir[end - 1] == '/') --end;  // the separators before it, but not the root
    return dir.substr(0, end);
}
}  // namespace

void createDirectoryIfMissingBytes(bool parents, std::string_view path) {
    System::Posix::IO::checkPath("createDirectory", path);
    // The path first; a missing parent puts the parent in front of it, and so on upwards, so an
    // existing tree costs one call.
    std::vector<std::string_view> pending{path};
    while (!pending.empty()) {
        std::string_view dir = pending.back();
        int err = createOne(dir);
        if (err == 0) {
            pending.pop_back();
            continue;
        }
        std::string_view parent = parentOf(dir);
        if (err == ENOENT && parents && !parent.empty() && parent.size() < dir.size()) {
            pending.push_back(parent);
            continue;
        }
        Error::throwErrnoPath("createDirectory", dir, err);
    }
}

bool doesFileExistBytes(std::string_view path) { return kindOf(path) == 0; }
bool doesDirectoryExistBytes(std::string_view path) { return kindOf(path) == 1; }

void removeFileBytes(std::string_view path) {
    System::Posix::IO::withFilePath("removeFile", path, [&](const char* p) {
        if (unlink(p) != 0) Error::throwErrnoPath("removeFile", path, errno);
    });
}

void createDirectoryIfMissing(bool parents, const Value& path) {
    createDirectoryIfMissingBytes(parents, System::OsString::view(path));
}
bool doesFileExist(const Value& path) { return doesFileExistBytes(System::OsString::view(path)); }
bool doesDirectoryExist(const Value& path) { return doesDirectoryExistBytes(System::OsString::view(path)); }
void removeFile(const Value& path) { removeFileBytes(System::OsString::view(path)); }

}  // namespace System::Directory::OsPath
