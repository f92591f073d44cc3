#include "System/File/OsPath/Internal.h"

#include <cerrno>

#include "Data/ByteString.h"
#include "Data/ByteString/Lazy.h"
#include "Data/Either.h"
#include "System/File/Platform.h"
#include "System/OsPath/Posix.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/Handle.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/IOError.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Stack.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"
#include "rts/Mask.h"
#include "rts/Profiling.h"

VUX_MODULE("System.File.OsPath.Internal");

namespace System::File::OsPath::Internal {

namespace Exception = VUX::Internal::Exception;
namespace Handle = VUX::Internal::Handle;
namespace HandleTypes = VUX::Internal::HandleTypes;
namespace IOError = VUX::Internal::IOError;
namespace List = VUX::Internal::List;
namespace Maybe = VUX::Internal::Maybe;
using VUX::Internal::IO::io;
using VUX::Internal::IO::runIO;

namespace {

// A call stack of one entry at a line of this module.
Value callSite(const char* function, int64_t line, int64_t startCol, int64_t endCol) {
    return VUX::Internal::Stack::callStack(
        {{function,
          {VUX_PACKAGE_ID, "System.File.OsPath.Internal", "libraries/vux-file-io/System/File/OsPath/Internal",
           line, startCol, line, endCol}}});
}

// The same flags as an opener, with a handler that answers the handle unchanged.
Value opening(const char* location, Value path, Value mode, bool binary, bool existing, bool cloexec) {
    Value returnHandle = rts::fun<1>([](const Value& h) { return VUX::Internal::IO::returnIO(h); });
    return augmentError(
        List::fromBytes(location), path,
        withOpenFile_prime(path, std::move(mode), binary, existing, cloexec, std::move(returnHandle), false));
}

// The four brackets: `act`'s I/O errors travel past the annotation as a Left and are raised again
// (with the bracket's call-site entry at `line`) once the bracket has ended.
Value bracketed(const char* location, int64_t line, Value path, Value mode, Value act, bool binary,
                bool closeFinally) {
    Value wrapped = rts::fun<1>([act](const Value& h) {
        return Exception::try_(IOError::inst_Exception_IOException(), rts::apply(act, h));
    });
    Value opened = augmentError(
        List::fromBytes(location), path,
        withOpenFile_prime(path, std::move(mode), binary, false, false, std::move(wrapped), closeFinally));
    return rts::fun<1>([opened, line](const Value& token) -> Value {
        Value outcome = rts::apply(opened, token);
        const Value& either = rts::force(outcome);
        if (either->tag == Data::Either::Left_tag)
            return runIO(IOError::ioError(rts::field(either, 0), callSite("ioError", line, 14, 21)));
        return rts::field(either, 0);
    });
}

Value closeHandle(const Value& h) { return runIO(Handle::hClose(h)); }

// The finalizer that withOpenFile' attaches, as a function of the path string and the cell.
Value finalizeCell(const Value& path, const Value& cell, const Value& token) {
    return rts::apply(handleFinalizer(path, cell), token);
}
constinit const rts::StaticFun handleFinalizer_closure{rts::static_fun_info<&finalizeCell>};

[[noreturn]] void refuseTemplate(const Value& tmpl) {
    Value description =
        List::prependBytes("openTempFile': Template string must not contain path separator characters: ",
                           Platform::lenientDecode(tmpl));
    Value e =
        IOError::IOError(Maybe::Nothing(), IOError::IOErrorType(IOError::UserError_tag), List::fromBytes(""),
                         std::move(description), Maybe::Nothing(), Maybe::Nothing());
    Exception::throwWithCallStack(IOError::inst_Exception_IOException(), e, callSite("throwIO", 239, 7, 14));
}

// A NUL byte would cut the path short at the system's boundary: another file would be created.
void refuseNul(const Value& location, const Value& dir, const Value& tmpl) {
    if (System::OsString::view(dir).find('\0') == std::string_view::npos &&
        System::OsString::view(tmpl).find('\0') == std::string_view::npos)
        return;
    Value path = System::OsPath::Posix::combine(dir, tmpl);
    IOError::throwIOError(IOError::errnoToIOError(location, EINVAL, Maybe::Nothing(),
                                                  Maybe::Just(Platform::lenientDecode(path))));
}

}  // namespace

Value withOpenFile_prime(Value path, Value mode, bool binary, bool existing, bool cloexec, Value action,
                         bool closeFinally) {
    VUX_SCC("withOpenFile'");
    return rts::fun<1>([=](const Value& token) -> Value {
        return Exception::masked(
            rts::MaskingState::MaskedInterruptible, [&](rts::MaskingState outer) -> Value {
                Value flags = cloexec ? Platform::closeOnExecFileFlags() : Platform::defaultFileFlags_prime();
                Value h = runIO(existing ? Platform::openExistingFile_(flags, path, mode)
                                         : Platform::openFile_(flags, path, mode));
                Handle::addHandleFinalizer(h, handleFinalizer_closure.value());
                Value result;
                try {
                    if (binary) runIO(Handle::hSetBinaryMode(h, VUX::Types::True()));
                    result = rts::with_masking_state(outer, [&] { return rts::apply(action, h, token); });
                } catch (...) {
                    closeHandle(h);
                    throw;
                }
                if (closeFinally) closeHandle(h);
                return result;
            });
    });
}

Value augmentError(Value location, Value path, Value action) {
    VUX_SCC("augmentError");
    return rts::fun<1>([=](const Value& token) -> Value {
        return rts::catch_exception(
            [&] { return rts::apply(action, token); },
            [&](const rts::Exception& ex) -> Value {
                Value e = IOError::ioExceptionOf(ex);
                if (!e) rts::rethrow(ex);
                Value annotated = addFilePathToIOError(location, path, e);
                return runIO(IOError::ioError(annotated, callSite("ioError", 232, 46, 53)));
            });
    });
}

Value addFilePathToIOError(Value location, Value path, Value e) {
    return rts::delay([=] {
        const Value& ioe = rts::force(e);
        Value name = System::OsString::decodeFSOrBytes(System::OsString::view(path));
        (void)List::codePoints(name);
        return IOError::IOError(IOError::ioe_handle(ioe), IOError::ioe_type(ioe), location,
                                IOError::ioe_description(ioe), IOError::ioe_errno(ioe), Maybe::Just(name));
    });
}

Value addHandleFinalizer(Value h, Value finalizer) {
    return io([h, finalizer] {
        Handle::addHandleFinalizer(h, finalizer);
        return VUX::Tuple::Unit();
    });
}

Value handleFinalizer(Value path, Value cell) {
    return Handle::handleFinalizer(std::move(path), std::move(cell));
}

Value openFile(Value path, Value mode) {
    VUX_SCC("openFile");
    return opening("openFile", std::move(path), std::move(mode), false, false, false);
}
Value openBinaryFile(Value path, Value mode) {
    VUX_SCC("openBinaryFile");
    return opening("openBinaryFile", std::move(path), std::move(mode), true, false, false);
}
Value openExistingFile(Value path, Value mode) {
    VUX_SCC("openExistingFile");
    return opening("openExistingFile", std::move(path), std::move(mode), false, true, false);
}
Value openFileWithCloseOnExec(Value path, Value mode) {
    VUX_SCC("openFileWithCloseOnExec");
    return opening("openFileWithCloseOnExec", std::move(path), std::move(mode), false, false, true);
}
Value openExistingFileWithCloseOnExec(Value path, Value mode) {
    VUX_SCC("openExistingFileWithCloseOnExec");
    return opening("openExistingFileWithCloseOnExec", std::move(path), std::move(mode), false, true, true);
}

Value withFile(Value path, Value mode, Value act) {
    VUX_SCC("withFile");
    return bracketed("withFile", 56, std::move(path), std::move(mode), std::move(act), false, true);
}
Value withBinaryFile(Value path, Value mode, Value act) {
    VUX_SCC("withBinaryFile");
    return bracketed("withBinaryFile", 61, std::move(path), std::move(mode), std::move(act), true, true);
}
Value withFile_prime(Value path, Value mode, Value act) {
    VUX_SCC("withFile'");
    return bracketed("withFile'", 71, std::move(path), std::move(mode), std::move(act), false, false);
}
Value withBinaryFile_prime(Value path, Value mode, Value act) {
    VUX_SCC("withBinaryFile'");
    return bracketed("withBinaryFile'", 77, std::move(path), std::move(mode), std::move(act), true, false);
}

Value readFile(Value path) {
    VUX_SCC("readFile");
    return withFile_prime(std::move(path), HandleTypes::ReadMode(), rts::fun<1>([](const Value& h) {
                              return Data::ByteString::Lazy::hGetContents(h);
                          }));
}
Value readFile_prime(Value path) {
    VUX_SCC("readFile'");
    return withFile(std::move(path), HandleTypes::ReadMode(),
                    rts::fun<1>([](const Value& h) { return Data::ByteString::hGetContents(h); }));
}

namespace {
template <Value (*put)(Value, Value)>
Value writing(Value path, Value mode, Value bytes) {
    return withFile(std::move(path), std::move(mode),
                    rts::fun<1>([bytes](const Value& h) { return put(h, bytes); }));
}
}  // namespace

Value writeFile(Value path, Value lazyBytes) {
    VUX_SCC("writeFile");
    return writing<&Data::ByteString::Lazy::hPut>(std::move(path), HandleTypes::WriteMode(),
                                                  std::move(lazyBytes));
}
Value writeFile_prime(Value path, Value bytes) {
    VUX_SCC("writeFile'");
    return writing<&Data::ByteString::hPut>(std::move(path), HandleTypes::WriteMode(), std::move(bytes));
}
Value appendFile(Value path, Value lazyBytes) {
    VUX_SCC("appendFile");
    return writing<&Data::ByteString::Lazy::hPut>(std::move(path), HandleTypes::AppendMode(),
                                                  std::move(lazyBytes));
}
Value appendFile_prime(Value path, Value bytes) {
    VUX_SCC("appendFile'");
    return writing<&Data::ByteString::hPut>(std::move(path), HandleTypes::AppendMode(), std::move(bytes));
}

// ---------------------------------------------------------------------------------------------
// Temporary files

Value openTempFile_prime(Value location, Value dir, Value tmpl, bool binary, uint32_t mode) {
    VUX_SCC("openTempFile'");
    return io([=]() -> Value {
        if (System::OsString::view(tmpl).find('/') != std::string_view::npos) refuseTemplate(tmpl);
        refuseNul(location, dir, tmpl);
        Value parts = rts::delay([tmpl] { return System::OsPath::Posix::splitExtension(tmpl); });
        Value created = runIO(Platform::findTempName(std::move(parts), location, dir, mode));
        if (binary) {
            const Value& h = rts::field(rts::force(created), 1);
            try {
                runIO(Handle::hSetBinaryMode(h, VUX::Types::True()));
            } catch (...) {
                closeHandle(h);
                throw;
            }
        }
        return created;
    });
}

Value openTempFile(Value dir, Value tmpl) {
    return openTempFile_prime(List::fromBytes("openTempFile"), std::move(dir), std::move(tmpl), false, 0600);
}
Value openBinaryTempFile(Value dir, Value tmpl) {
    return openTempFile_prime(List::fromBytes("openBinaryTempFile"), std::move(dir), std::move(tmpl), true,
                              0600);
}
Value openTempFileWithDefaultPermissions(Value dir, Value tmpl) {
    return openTempFile_prime(List::fromBytes("openTempFileWithDefaultPermissions"), std::move(dir),
                              std::move(tmpl), false, 0666);
}
Value openBinaryTempFileWithDefaultPermissions(Value dir, Value tmpl) {
    return openTempFile_prime(List::fromBytes("openBinaryTempFileWithDefaultPermissions"), std::move(dir),
                              std::move(tmpl), true, 0666);
}

}  // namespace System::File::OsPath::Internal
