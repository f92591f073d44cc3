// Input/output errors.
//
//   data IOException = IOError handle kind location description errno filename
//     handle       Maybe Handle       the handle concerned
//     kind         IOErrorType
//     location     String             the operation that failed
//     description  String             what went wrong, in words ("" for none)
//     errno        Maybe CInt         the system's error number, when it came from one
//     filename     Maybe FilePath     the file concerned
//
// Its text: the file name (or, without one, the shown handle) and ": ", the location and ": "
// when it is not empty, the kind's text, and " (description)" when the description is not empty:
//   "notes.txt: openFile: does not exist (No such file or directory)"
//   "user error (boom)"
//
// Handlers catch it by type (`inst_Exception_IOException`); `catchIOError` catches it alone and
// lets every other exception pass.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "VUX/Classes.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/Show.h"
#include "VUX/Record.h"
#include "VUX/Types.h"
#include "rts/rts.h"

namespace VUX::Internal::IOError {

using rts::Value;

// IOErrorType, in declaration order.
inline constexpr uint8_t AlreadyExists_tag = 0;
inline constexpr uint8_t NoSuchThing_tag = 1;
inline constexpr uint8_t ResourceBusy_tag = 2;
inline constexpr uint8_t ResourceExhausted_tag = 3;
inline constexpr uint8_t EOF_tag = 4;
inline constexpr uint8_t IllegalOperation_tag = 5;
inline constexpr uint8_t PermissionDenied_tag = 6;
inline constexpr uint8_t UserError_tag = 7;
inline constexpr uint8_t UnsatisfiedConstraints_tag = 8;
inline constexpr uint8_t SystemError_tag = 9;
inline constexpr uint8_t ProtocolError_tag = 10;
inline constexpr uint8_t OtherError_tag = 11;
inline constexpr uint8_t InvalidArgument_tag = 12;
inline constexpr uint8_t InappropriateType_tag = 13;
inline constexpr uint8_t HardwareFault_tag = 14;
inline constexpr uint8_t UnsupportedOperation_tag = 15;
inline constexpr uint8_t TimeExpired_tag = 16;
inline constexpr uint8_t ResourceVanished_tag = 17;
inline constexpr uint8_t Interrupted_tag = 18;
inline constexpr size_t kIOErrorTypes = 19;
extern rts::Object* const IOErrorType_closure_tbl[kIOErrorTypes];
inline Value IOErrorType(uint8_t tag) { return Value::adopt(IOErrorType_closure_tbl[tag]); }
// The kind's text: "already exists", "does not exist", "end of file", "user error"...
const char* ioErrorTypeText(uint8_t tag);
VUX_STATIC_INSTANCE(inst_Show_IOErrorType, Show::C_Show_class);
VUX_STATIC_INSTANCE(inst_Eq_IOErrorType, VUX::Classes::C_Eq_class);

// IOException
inline constexpr uint8_t IOError_tag = 0;
inline Value IOError(Value handle, Value kind, Value location, Value description, Value errno_,
                     Value filename) {
    return rts::con(IOError_tag, std::move(handle), std::move(kind), std::move(location),
                    std::move(description), std::move(errno_), std::move(filename));
}
// Fields of an evaluated IOException.
inline const Value& ioe_handle(const Value& e) { return rts::field(e, 0); }
inline const Value& ioe_type(const Value& e) { return rts::field(e, 1); }
inline const Value& ioe_location(const Value& e) { return rts::field(e, 2); }
inline const Value& ioe_description(const Value& e) { return rts::field(e, 3); }
inline const Value& ioe_errno(const Value& e) { return rts::field(e, 4); }
inline const Value& ioe_filename(const Value& e) { return rts::field(e, 5); }

VUX_STATIC_INSTANCE(inst_Show_IOException, Show::C_Show_class);
VUX_STATIC_INSTANCE(inst_Exception_IOException, Exception::C_Exception_class);
VUX_STATIC_INSTANCE(inst_Eq_IOException, VUX::Classes::C_Eq_class);
extern const VUX::Types::StaticModule trModule;
extern const VUX::Types::StaticTyCon tcIOException, tcIOErrorType;

// The text of an IOException (`show`).
Value showsIOException(int64_t d, const Value& e, Value s);

// ---------------------------------------------------------------------------------------------
// Building and raising

// `userError msg`: kind UserError, no location, the message as description.
Value userError(Value message);
// `mkIOError kind location maybeHandle maybeFilePath`: empty description, no errno.
Value mkIOError(Value kind, Value location, Value maybeHandle, Value maybeFilePath);
// An IOException from C++ texts, without handle, errno or file name.
Value mkIOErrorText(uint8_t kind, std::string_view location, std::string_view description);
// `errnoToIOError location errno maybeHandle maybeFilePath`: the kind that the error number
// stands for, its system text as description (strerror), the number kept.
Value errnoToIOError(Value location, int errnum, Value maybeHandle, Value maybeFilePath);
// The kind an error number stands for.
uint8_t errnoKind(int errnum);

// `ioError e`: an action raising e; with a call stack, the raised exception's context holds it.
Value ioError(Value e);
Value ioError(Value e, Value callStack);
// Raises e now (C++ callers).
[[noreturn]] void throwIOError(const Value& e);
// `throwErrno location`: raises errnoToIOError of the calling thread's errno; with a path, the file
// name is that path.
[[noreturn]] void throwErrno(std::string_view location);
[[noreturn]] void throwErrnoPath(std::string_view location, Value path);

// `catchIOError act handler`: handler e when act raises an IOException e; every other exception
// passes unchanged. `tryIOError act`: Left e or Right the result.
Value catchIOError(Value act, Value handler);
Value tryIOError(Value act);
// `annotateIOError e location maybeHandle maybeFilePath`: the location replaced, the handle and
// file name filled in where e has none.
Value annotateIOError(const Value& e, Value location, Value maybeHandle, Value maybeFilePath);
// `modifyIOError f act`: act with f applied to the IOException it raises.
Value modifyIOError(Value f, Value act);

// ---------------------------------------------------------------------------------------------
// Accessors, setters and predicates (pure; each evaluates the error)

Value ioeGetErrorType(const Value& e);
// The description for a user error, otherwise the kind's text.
Value ioeGetErrorString(const Value& e);
Value ioeGetLocation(const Value& e);
Value ioeGetHandle(const Value& e);
Value ioeGetFileName(const Value& e);
// The errno, when the error came from one.
std::optional<int> ioeGetErrno(const Value& e);
Value ioeSetErrorType(const Value& e, Value kind);
Value ioeSetErrorString(const Value& e, Value description);
Value ioeSetLocation(const Value& e, Value location);
Value ioeSetHandle(const Value& e, Value handle);
Value ioeSetFileName(const Value& e, Value path);

bool isAlreadyExistsError(const Value& e);
bool isDoesNotExistError(const Value& e);
bool isAlreadyInUseError(const Value& e);
bool isFullError(const Value& e);
bool isEOFError(const Value& e);
bool isIllegalOperation(const Value& e);
bool isPermissionError(const Value& e);
bool isUserError(const Value& e);
bool isResourceVanishedError(const Value& e);
// The kind of an IOException, as its tag.
uint8_t ioErrorKind(const Value& e);

// Whether a raised exception is an IOException; the IOException inside it, or null.
Value ioExceptionOf(const rts::Exception& e);

}  // namespace VUX::Internal::IOError

// The calling thread's errno, for code with the platform's calling convention.
extern "C" {
__attribute__((visibility("default"))) int __hscore_get_errno(void);
__attribute__((visibility("default"))) void __hscore_set_errno(int e);
}
