#include "VUX/Internal/IOError.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <string>

#include "Data/Either.h"
#include "VUX/Classes.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/HandleTypes.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Show.h"

namespace VUX::Internal::IOError {

using namespace VUX::Types;
using rts::force;
using VUX::Record::fn;
using VUX::Record::ref;

VUX_DEFINE_MODULE(trModule, VUX_PACKAGE_ID, "VUX.Internal.IOError");
VUX_DEFINE_TYCON(tcIOException, trModule, "IOException", 0, kindType);
VUX_DEFINE_TYCON(tcIOErrorType, trModule, "IOErrorType", 0, kindType);

namespace {
template <size_t... I>
constexpr std::array<rts::StaticNullary, sizeof...(I)> makeKinds(std::index_sequence<I...>) {
    return {rts::StaticNullary{static_cast<uint8_t>(I)}...};
}
constinit const std::array<rts::StaticNullary, kIOErrorTypes> kinds =
    makeKinds(std::make_index_sequence<kIOErrorTypes>{});
constexpr const char* kKindTexts[kIOErrorTypes] = {"already exists",
                                                   "does not exist",
                                                   "resource busy",
                                                   "resource exhausted",
                                                   "end of file",
                                                   "illegal operation",
                                                   "permission denied",
                                                   "user error",
                                                   "unsatisfied constraints",
                                                   "system error",
                                                   "protocol error",
                                                   "failed",
                                                   "invalid argument",
                                                   "inappropriate type",
                                                   "hardware fault",
                                                   "unsupported operation",
                                                   "timeout",
                                                   "resource vanished",
                                                   "interrupted"};
}  // namespace

constinit rts::Object* const IOErrorType_closure_tbl[kIOErrorTypes] = {
    kinds[0].object(),  kinds[1].object(),  kinds[2].object(),  kinds[3].object(),  kinds[4].object(),
    kinds[5].object(),  kinds[6].object(),  kinds[7].object(),  kinds[8].object(),  kinds[9].object(),
    kinds[10].object(), kinds[11].object(), kinds[12].object(), kinds[13].object(), kinds[14].object(),
    kinds[15].object(), kinds[16].object(), kinds[17].object(), kinds[18].object()};

const char* ioErrorTypeText(uint8_t tag) { return tag < kIOErrorTypes ? kKindTexts[tag] : "failed"; }

namespace {
Value showsKind(int64_t, const Value& k, Value s) {
    return Show::showText(ioErrorTypeText(force(k)->tag), std::move(s));
}
Value eqKind(const Value& a, const Value& b) { return fromBool(force(a)->tag == force(b)->tag); }
}  // namespace

constinit const Record::Static<Show::C_Show_class> inst_Show_IOErrorType_closure{
    fn<&Show::showsPrecWith<&showsKind>>, fn<&Show::default_show, &inst_Show_IOErrorType_closure>,
    fn<&Show::default_showList, &inst_Show_IOErrorType_closure>};
constinit const Record::Static<Classes::C_Eq_class> inst_Eq_IOErrorType_closure{
    fn<&eqKind>, fn<&Classes::default_op_slash_eq, &inst_Eq_IOErrorType_closure>};

// ---------------------------------------------------------------------------------------------
// Text

Value showsIOException(int64_t, const Value& x, Value s) {
    const Value& e = force(x);
    const Value& description = ioe_description(e);
    Value tail = std::move(s);
    if (!List::null(description))
        tail = Show::showText(" (", List::op_plus_plus(description, Show::showText(")", std::move(tail))));
    tail = Show::showText(ioErrorTypeText(force(ioe_type(e))->tag), std::move(tail));
    const Value& location = ioe_location(e);
    if (!List::null(location)) tail = List::op_plus_plus(location, Show::showText(": ", std::move(tail)));
    const Value& name = force(ioe_filename(e));
    if (Maybe::isJust(name))
        return List::op_plus_plus(rts::field(name, 0), Show::showText(": ", std::move(tail)));
    const Value& handle = force(ioe_handle(e));
    if (Maybe::isJust(handle))
        return HandleTypes::showsHandle(11, rts::field(handle, 0), Show::showText(": ", std::move(tail)));
    return tail;
}

constinit const Record::Static<Show::C_Show_class> inst_Show_IOException_closure{
    fn<&Show::showsPrecWith<&showsIOException>>, fn<&Show::default_show, &inst_Show_IOException_closure>,
    fn<&Show::default_showList, &inst_Show_IOException_closure>};
constinit const Record::Static<Exception::C_Exception_class> inst_Exception_IOException_closure{
    ref(tcIOException), ref(inst_Show_IOException_closure),
    fn<&Exception::default_toException, &inst_Exception_IOException_closure>,
    fn<&Exception::default_fromException, &inst_Exception_IOException_closure>,
    fn<&Exception::default_displayException, &inst_Exception_IOException_closure>};

namespace {
bool eqMaybe(const Value& a, const Value& b, bool (*eq)(const Value&, const Value&)) {
    const Value& x = force(a);
    const Value& y = force(b);
    if (Maybe::isJust(x) != Maybe::isJust(y)) return false;
    return !Maybe::isJust(x) || eq(rts::field(x, 0), rts::field(y, 0));
}
bool eqInt(const Value& a, const Value& b) { return intOf(force(a)) == intOf(force(b)); }

bool eqIOException(const Value& a, const Value& b) {
    const Value& x = force(a);
    const Value& y = force(b);
    return eqMaybe(ioe_handle(x), ioe_handle(y), &HandleTypes::eqHandle) &&
           force(ioe_type(x))->tag == force(ioe_type(y))->tag &&
           List::eqString(ioe_location(x), ioe_location(y)) &&
           List::eqString(ioe_description(x), ioe_description(y)) &&
           eqMaybe(ioe_errno(x), ioe_errno(y), &eqInt) &&
           eqMaybe(ioe_filename(x), ioe_filename(y), &List::eqString);
}
Value eqIOExceptionOp(const Value& a, const Value& b) { return fromBool(eqIOException(a, b)); }
}  // namespace

constinit const Record::Static<Classes::C_Eq_class> inst_Eq_IOException_closure{
    fn<&eqIOExceptionOp>, fn<&Classes::default_op_slash_eq, &inst_Eq_IOException_closure>};

// ---------------------------------------------------------------------------------------------
// Building and raising

Value userError(Value message) {
    return IOError(Maybe::Nothing(), IOErrorType(UserError_tag), Nil(), std::move(message), Maybe::Nothing(),
                   Maybe::Nothing());
}

Value mkIOError(Value kind, Value location, Value maybeHandle, Value maybeFilePath) {
    return IOError(std::move(maybeHandle), std::move(kind), std::move(location), Nil(), Maybe::Nothing(),
                   std::move(maybeFilePath));
}

Value mkIOErrorText(uint8_t kind, std::string_view location, std::string_view description) {
    return IOError(Maybe::Nothing(), IOErrorType(kind), List::fromBytes(location),
                   List::fromUtf8(description), Maybe::Nothing(), Maybe::Nothing());
}

uint8_t errnoKind(int e) {
    switch (e) {
        case EEXIST:
        case EALREADY:
        case EISCONN:
        case EINPROGRESS: return AlreadyExists_tag;
        case ENOENT:
        case ENXIO:
        case ESRCH:
        case ECHILD:
        case ECONNREFUSED:
        case EHOSTDOWN:
        case EHOSTUNREACH:
        case ENETUNREACH: return NoSuchThing_tag;
        case EBUSY:
        case EADDRINUSE:
        case EDEADLK:
        case ETXTBSY: return ResourceBusy_tag;
        case E2BIG:
        case EAGAIN:
        case EMFILE:
        case EMLINK:
        case EMSGSIZE:
        case ENFILE:
        case ENOBUFS:
        case ENOLCK:
        case ENOMEM:
        case ENOSPC: return ResourceExhausted_tag;
        case ENOTTY: return IllegalOperation_tag;
        case EACCES:
        case EPERM:
        case EROFS:
        case EDQUOT:
        case EFBIG: return PermissionDenied_tag;
        case ENOTEMPTY: return UnsatisfiedConstraints_tag;
        case EPROTONOSUPPORT:
        case EPROTOTYPE: return ProtocolError_tag;
        case EINVAL:
        case EBADF:
        case EDOM:
        case EDESTADDRREQ:
        case ELOOP:
        case ENAMETOOLONG:
        case ENOEXEC:
        case ENOTCONN:
        case ENOTSOCK:
        case EILSEQ: return InvalidArgument_tag;
        case EISDIR:
        case ENOTDIR: return InappropriateType_tag;
        case EIO: return HardwareFault_tag;
        case EADDRNOTAVAIL:
        case EAFNOSUPPORT:
        case ENODEV:
        case ENOSYS:
        case EOPNOTSUPP:
        case ERANGE:
        case ESPIPE:
        case EXDEV: return UnsupportedOperation_tag;
        case ETIMEDOUT: return TimeExpired_tag;
        case EPIPE:
        case ECONNRESET:
        case ECONNABORTED:
        case ENETDOWN:
        case ENETRESET: return ResourceVanished_tag;
        case EINTR: return Interrupted_tag;
        default: return OtherError_tag;
    }
}

Value errnoToIOError(Value location, int errnum, Value maybeHandle, Value maybeFilePath) {
    char buf[256];
    const char* text = strerror_r(errnum, buf, sizeof buf);
    return IOError(std::move(maybeHandle), IOErrorType(errnoKind(errnum)), std::move(location),
                   List::fromUtf8(text), Maybe::Just(I_hash(errnum)), std::move(maybeFilePath));
}

void throwIOError(const Value& e) { Exception::throw_(inst_Exception_IOException(), e); }

Value ioError(Value e) {
    return IO::io([e]() -> Value { throwIOError(e); });
}
Value ioError(Value e, Value callStack) {
    return IO::io([e, callStack]() -> Value {
        Exception::throwWithCallStack(inst_Exception_IOException(), e, callStack);
    });
}

void throwErrno(std::string_view location) {
    int e = errno;
    throwIOError(errnoToIOError(List::fromBytes(location), e, Maybe::Nothing(), Maybe::Nothing()));
}
void throwErrnoPath(std::string_view location, Value path) {
    int e = errno;
    throwIOError(
        errnoToIOError(List::fromBytes(location), e, Maybe::Nothing(), Maybe::Just(std::move(path))));
}

Value catchIOError(Value act, Value handler) {
    return Exception::catch_(inst_Exception_IOException(), std::move(act), std::move(handler));
}
Value tryIOError(Value act) { return Exception::try_(inst_Exception_IOException(), std::move(act)); }

namespace {
// A copy of an evaluated error with field i replaced.
Value withField(const Value& e, size_t i, Value v) {
    const Value& x = force(e);
    Value f[6] = {ioe_handle(x),      ioe_type(x),  ioe_location(x),
                  ioe_description(x), ioe_errno(x), ioe_filename(x)};
    f[i] = std::move(v);
    return IOError(f[0], f[1], f[2], f[3], f[4], f[5]);
}
// `mplus`: the first when it is Just.
Value orElse(const Value& first, Value second) {
    return Maybe::isJust(force(first)) ? first : std::move(second);
}
}  // namespace

Value annotateIOError(const Value& e, Value location, Value maybeHandle, Value maybeFilePath) {
    const Value& x = force(e);
    return IOError(orElse(ioe_handle(x), std::move(maybeHandle)), ioe_type(x), std::move(location),
                   ioe_description(x), ioe_errno(x), orElse(ioe_filename(x), std::move(maybeFilePath)));
}

Value modifyIOError(Value f, Value act) {
    Value handler = rts::fun<1>([f](const Value& e) { return ioError(rts::apply(f, e)); });
    return catchIOError(std::move(act), std::move(handler));
}

Value ioeGetErrorType(const Value& e) { return ioe_type(force(e)); }
Value ioeGetErrorString(const Value& e) {
    const Value& x = force(e);
    if (force(ioe_type(x))->tag == UserError_tag) return ioe_description(x);
    return List::fromBytes(ioErrorTypeText(force(ioe_type(x))->tag));
}
Value ioeGetLocation(const Value& e) { return ioe_location(force(e)); }
Value ioeGetHandle(const Value& e) { return ioe_handle(force(e)); }
Value ioeGetFileName(const Value& e) { return ioe_filename(force(e)); }
std::optional<int> ioeGetErrno(const Value& e) {
    const Value& m = force(ioe_errno(force(e)));
    if (!Maybe::isJust(m)) return std::nullopt;
    return static_cast<int>(intOf(force(rts::field(m, 0))));
}
Value ioeSetErrorType(const Value& e, Value kind) { return withField(e, 1, std::move(kind)); }
Value ioeSetErrorString(const Value& e, Value description) { return withField(e, 3, std::move(description)); }
Value ioeSetLocation(const Value& e, Value location) { return withField(e, 2, std::move(location)); }
Value ioeSetHandle(const Value& e, Value handle) { return withField(e, 0, Maybe::Just(std::move(handle))); }
Value ioeSetFileName(const Value& e, Value path) { return withField(e, 5, Maybe::Just(std::move(path))); }

uint8_t ioErrorKind(const Value& e) { return force(ioe_type(force(e)))->tag; }
bool isAlreadyExistsError(const Value& e) { return ioErrorKind(e) == AlreadyExists_tag; }
bool isDoesNotExistError(const Value& e) { return ioErrorKind(e) == NoSuchThing_tag; }
bool isAlreadyInUseError(const Value& e) { return ioErrorKind(e) == ResourceBusy_tag; }
bool isFullError(const Value& e) { return ioErrorKind(e) == ResourceExhausted_tag; }
bool isEOFError(const Value& e) { return ioErrorKind(e) == EOF_tag; }
bool isIllegalOperation(const Value& e) { return ioErrorKind(e) == IllegalOperation_tag; }
bool isPermissionError(const Value& e) { return ioErrorKind(e) == PermissionDenied_tag; }
bool isUserError(const Value& e) { return ioErrorKind(e) == UserError_tag; }
bool isResourceVanishedError(const Value& e) { return ioErrorKind(e) == ResourceVanished_tag; }

Value ioExceptionOf(const rts::Exception& e) {
    Value some = Exception::exceptionValue(e);
    if (!some || !Exception::isSomeException(force(some))) return Value();
    Value m = Exception::fromException(inst_Exception_IOException(), some);
    const Value& r = force(m);
    return Maybe::isJust(r) ? rts::field(r, 0) : Value();
}

}  // namespace VUX::Internal::IOError

extern "C" int __hscore_get_errno(void) { return errno; }
extern "C" void __hscore_set_errno(int e) { errno = e; }
