#include "System/Posix/IO.h"

#include <fcntl.h>
#include <unistd.h>

#include "System/OsString.h"
#include "System/Posix/Error.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Types.h"

namespace System::Posix::IO {

namespace {
constinit const rts::StaticNullary ReadOnly_closure{ReadOnly_tag};
constinit const rts::StaticNullary WriteOnly_closure{WriteOnly_tag};
constinit const rts::StaticNullary ReadWrite_closure{ReadWrite_tag};

bool flag(const Value& flags, OpenFileFlagsField f) {
    return VUX::Types::isTrue(rts::force(flagsField(flags, f)));
}
}  // namespace

rts::Object* const OpenMode_closure_tbl[3] = {ReadOnly_closure.object(), WriteOnly_closure.object(),
                                              ReadWrite_closure.object()};

Value OpenFileFlags(Value append, Value exclusive, Value noctty, Value nonBlock, Value trunc, Value nofollow,
                    Value creat, Value cloexec, Value directory, Value sync) {
    return rts::con(OpenFileFlags_tag, std::move(append), std::move(exclusive), std::move(noctty),
                    std::move(nonBlock), std::move(trunc), std::move(nofollow), std::move(creat),
                    std::move(cloexec), std::move(directory), std::move(sync));
}

Value withFlag(const Value& flags, OpenFileFlagsField f, Value v) {
    const Value& r = rts::force(flags);
    Value fs[10];
    for (size_t i = 0; i < 10; ++i) fs[i] = rts::field(r, i);
    fs[f] = std::move(v);
    return OpenFileFlags(fs[0], fs[1], fs[2], fs[3], fs[4], fs[5], fs[6], fs[7], fs[8], fs[9]);
}

constinit const rts::StaticCon<10> defaultFileFlags_closure{
    OpenFileFlags_tag,
    rts::ref_slot(VUX::Types::False_closure.object()),
    rts::ref_slot(VUX::Types::False_closure.object()),
    rts::ref_slot(VUX::Types::False_closure.object()),
    rts::ref_slot(VUX::Types::False_closure.object()),
    rts::ref_slot(VUX::Types::False_closure.object()),
    rts::ref_slot(VUX::Types::False_closure.object()),
    rts::ref_slot(VUX::Internal::Maybe::Nothing_closure.object()),
    rts::ref_slot(VUX::Types::False_closure.object()),
    rts::ref_slot(VUX::Types::False_closure.object()),
    rts::ref_slot(VUX::Types::False_closure.object())};

OpenBits openBits(const Value& openMode, const Value& flags) {
    static constexpr int kAccess[3] = {O_RDONLY, O_WRONLY, O_RDWR};
    static constexpr std::pair<OpenFileFlagsField, int> kBits[] = {
        {append, O_APPEND},     {exclusive, O_EXCL},      {noctty, O_NOCTTY},
        {nonBlock, O_NONBLOCK}, {trunc, O_TRUNC},         {nofollow, O_NOFOLLOW},
        {cloexec, O_CLOEXEC},   {directory, O_DIRECTORY}, {sync, O_SYNC}};
    OpenBits bits{kAccess[rts::force(openMode)->tag], 0};
    for (auto [field, bit] : kBits)
        if (flag(flags, field)) bits.flags |= bit;
    const Value& creatMode = rts::force(flagsField(flags, creat));
    if (VUX::Internal::Maybe::isJust(creatMode)) {
        bits.flags |= O_CREAT;
        bits.mode = fileModeOf(rts::field(creatMode, 0));
    }
    return bits;
}

void checkPath(std::string_view location, std::string_view path) {
    if (path.find('\0') != std::string_view::npos) Error::throwErrnoPath(location, path, EINVAL);
}

int openat_(const Value& dirFd, const char* path, const Value& openMode, const Value& flags) {
    const Value& dir = rts::force(dirFd);
    int at = VUX::Internal::Maybe::isJust(dir) ? fdOf(rts::field(dir, 0)) : AT_FDCWD;
    OpenBits bits = openBits(openMode, flags);
    return ::openat(at, path, bits.flags, static_cast<mode_t>(bits.mode));
}

int32_t openatBytes(const Value& dirFd, std::string_view path, const Value& openMode, const Value& flags) {
    return withFilePath("openAt", path, [&](const char* p) {
        return Error::throwErrnoPathIfMinus1Retry("openAt", path,
                                                  [&] { return openat_(dirFd, p, openMode, flags); });
    });
}

Value openat(const Value& dirFd, const Value& path, const Value& openMode, const Value& flags) {
    return Fd(openatBytes(dirFd, System::OsString::view(path), openMode, flags));
}

Value openFd(const Value& path, const Value& openMode, const Value& flags) {
    return openat(VUX::Internal::Maybe::Nothing(), path, openMode, flags);
}

void closeFd(const Value& fd) {
    if (::close(fdOf(fd)) == -1 && errno != EINTR) Error::throwErrno("closeFd", errno);
}

}  // namespace System::Posix::IO
