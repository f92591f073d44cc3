#include "System/Posix/Semaphore.h"

#include <fcntl.h>

#include <cerrno>
#include <mutex>
#include <new>

#include "System/OsString.h"
#include "System/Posix/Error.h"
#include "System/Posix/IO.h"
#include "VUX/Types.h"
#include "rts/Threads.h"

namespace System::Posix::Semaphore {

namespace {
// The open semaphore and the count of operations in progress on it.
struct SemaphoreObject {
    rts::OpaqueObject head;
    std::mutex lock;
    sem_t* sem;
    int users;
    bool closing;
};

void destroySemaphore(rts::Object* o) {
    auto* s = reinterpret_cast<SemaphoreObject*>(o);
    if (s->sem != nullptr) sem_close(s->sem);
    s->~SemaphoreObject();
}
constexpr rts::OpaqueInfo semaphore_info{&destroySemaphore, sizeof(SemaphoreObject), "Semaphore"};

SemaphoreObject* object(const Value& sem) {
    const Value& v = rts::force(sem);
    RTS_ASSERT(isSemaphore(v), "not a Semaphore");
    return reinterpret_cast<SemaphoreObject*>(v.get());
}

Value newSemaphore(sem_t* sem) {
    void* mem = rts::allocate_bytes(sizeof(SemaphoreObject));
    auto* s = new (mem)
        SemaphoreObject{{rts::Object(1, rts::Kind::Opaque, 0, 0, 0), &semaphore_info}, {}, sem, 0, false};
    return Value::adopt(&s->head.header);
}

std::string nameBytes(const Value& name) { return System::OsString::encodeFSBytes(name); }

}  // namespace

namespace detail {
sem_t* enter(const Value& sem, const char* location) {
    SemaphoreObject* s = object(sem);
    std::lock_guard<std::mutex> g(s->lock);
    if (s->sem == nullptr || s->closing) Error::throwErrno(location, EINVAL);
    ++s->users;
    return s->sem;
}

void leave(const Value& sem) {
    SemaphoreObject* s = object(sem);
    std::lock_guard<std::mutex> g(s->lock);
    if (--s->users == 0 && s->closing) {
        sem_close(s->sem);
        s->sem = nullptr;
    }
}
}  // namespace detail

bool isSemaphore(const Value& v) {
    return v && v->kind == rts::Kind::Opaque &&
           reinterpret_cast<rts::OpaqueObject*>(v.get())->info == &semaphore_info;
}

Value OpenSemFlags(bool create, bool exclusive) {
    return rts::con(OpenSemFlags_tag, VUX::Types::fromBool(create), VUX::Types::fromBool(exclusive));
}

Value semOpen(const Value& name, const Value& flags, const Value& mode, int64_t value) {
    std::string bytes = nameBytes(name);
    const Value& f = rts::force(flags);
    int oflag = 0;
    if (VUX::Types::isTrue(rts::force(rts::field(f, 0)))) oflag |= O_CREAT;
    if (VUX::Types::isTrue(rts::force(rts::field(f, 1)))) oflag |= O_EXCL;
    auto m = static_cast<mode_t>(IO::fileModeOf(mode));
    if (value < 0 || value > SEM_VALUE_MAX) Error::throwErrnoPath("semOpen", bytes, EINVAL);
    sem_t* sem = IO::withFilePath("semOpen", bytes, [&](const char* p) {
        for (;;) {
            sem_t* s = sem_open(p, oflag, m, static_cast<unsigned>(value));
            if (s != SEM_FAILED) return s;
            if (errno != EINTR) Error::throwErrnoPath("semOpen", bytes, errno);
        }
    });
    return newSemaphore(sem);
}

void semUnlink(const Value& name) {
    std::string bytes = nameBytes(name);
    IO::withFilePath("semUnlink", bytes, [&](const char* p) {
        Error::throwErrnoPathIfMinus1Retry("semUnlink", bytes, [&] { return sem_unlink(p); });
    });
}

void semClose(const Value& sem) {
    SemaphoreObject* s = object(sem);
    std::lock_guard<std::mutex> g(s->lock);
    if (s->sem == nullptr || s->closing) Error::throwErrno("semClose", EINVAL);
    s->closing = true;
    if (s->users == 0) {
        sem_close(s->sem);
        s->sem = nullptr;
    }
}

void semWait(const Value& sem) {
    withSemaphoreAddress(
        sem,
        [](sem_t* s) {
            rts::SafeCall call = rts::suspend_thread(false);
            int r;
            while ((r = sem_wait(s)) == -1 && errno == EINTR) {
            }
            int err = errno;
            rts::resume_thread(call);
            if (r == -1) Error::throwErrno("semWait", err);
        },
        "semWait");
}

bool semWaitInterruptible(const Value& sem) {
    return withSemaphoreAddress(
        sem,
        [](sem_t* s) {
            int err = 0;
            // resume_thread (inside interruptible_call) raises an asynchronous exception that ended
            // the wait.
            int r = rts::interruptible_call([&] {
                int rc = sem_wait(s);
                err = errno;
                return rc;
            });
            if (r == 0) return true;
            if (err == EINTR) return false;
            Error::throwErrno("semWaitInterruptible", err);
        },
        "semWaitInterruptible");
}

void semThreadWait(const Value& sem) {
    while (!semWaitInterruptible(sem)) {
    }
}

bool semTryWait(const Value& sem) {
    return withSemaphoreAddress(
        sem,
        [](sem_t* s) {
            for (;;) {
                if (sem_trywait(s) == 0) return true;
                if (errno == EAGAIN) return false;
                if (errno != EINTR) Error::throwErrno("semTrywait", errno);
            }
        },
        "semTrywait");
}

void semPost(const Value& sem) {
    withSemaphoreAddress(
        sem, [](sem_t* s) { Error::throwErrnoIfMinus1Retry("semPost", [&] { return sem_post(s); }); },
        "semPost");
}

int64_t semGetValue(const Value& sem) {
    return withSemaphoreAddress(
        sem,
        [](sem_t* s) {
            int v = 0;
            Error::throwErrnoIfMinus1Retry("semGetValue", [&] { return sem_getvalue(s, &v); });
            return static_cast<int64_t>(v);
        },
        "semGetValue");
}

}  // namespace System::Posix::Semaphore
