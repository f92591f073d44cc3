#include "System/IO.h"

#include "VUX/Internal/Exception.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/Show.h"

namespace System::IO {

namespace Handle = VUX::Internal::Handle;
namespace Exception = VUX::Internal::Exception;
using VUX::Internal::IO::bindIO;

namespace {
Value withOpened(Value open, Value act) {
    Value close = rts::fun<1>([](const Value& h) { return hClose(h); });
    return Exception::bracket(std::move(open), std::move(close), std::move(act));
}
// `path` opened in `mode`, then `use h` run and the handle closed however it ends.
Value withText(Value path, uint8_t mode, Value use) {
    return withFile(std::move(path), IOMode(mode), std::move(use));
}
}  // namespace

Value withFile(Value path, Value mode, Value act) {
    return withOpened(openFile(std::move(path), std::move(mode)), std::move(act));
}
Value withBinaryFile(Value path, Value mode, Value act) {
    return withOpened(openBinaryFile(std::move(path), std::move(mode)), std::move(act));
}

Value readFile(Value path) {
    Value read = rts::fun<1>([](const Value& h) { return hGetContents(h); });
    return bindIO(openFile(std::move(path), ReadMode()), std::move(read));
}

Value readFile_prime(Value path) {
    return withText(std::move(path), ReadMode_tag,
                    rts::fun<1>([](const Value& h) { return hGetContents_prime(h); }));
}

Value writeFile(Value path, Value str) {
    return withText(std::move(path), WriteMode_tag,
                    rts::fun<1>([str](const Value& h) { return hPutStr(h, str); }));
}

Value appendFile(Value path, Value str) {
    return withText(std::move(path), AppendMode_tag,
                    rts::fun<1>([str](const Value& h) { return hPutStr(h, str); }));
}

Value putStr(Value str) { return hPutStr(Handle::stdout_(), std::move(str)); }
Value putStrLn(Value str) { return hPutStrLn(Handle::stdout_(), std::move(str)); }
Value print(Value dShow, Value x) {
    Value text = rts::delay([dShow, x] { return VUX::Internal::Show::show(dShow, x); });
    return hPutStrLn(Handle::stdout_(), std::move(text));
}
Value getLine() { return hGetLine(Handle::stdin_()); }
Value getContents() { return hGetContents(Handle::stdin_()); }

}  // namespace System::IO
