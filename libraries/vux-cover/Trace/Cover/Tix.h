// Module Trace.Cover.Tix: the tick counts of a program and their file.
//
//   data Tix       = Tix [TixModule]
//   data TixModule = TixModule String Hash Int [Integer]   -- name, hash, tick count, counts
//
// Both constructors (tag 0) store their fields unevaluated; nothing ties the tick count to the
// number of counts. Equality, the text forms (positional: "Tix [TixModule \"Main\" 977 3 [0,12,1]]")
// and the reader are the derived ones; `rnf` evaluates every field completely.
//
// The tick-count file holds `show tix` as one line of UTF-8 text without a line end.
#pragma once

#include "VUX/Classes.h"
#include "VUX/Internal/Derived.h"
#include "VUX/Record.h"
#include "rts/rts.h"

namespace Trace::Cover::Tix {

using rts::Value;

inline constexpr uint8_t Tix_tag = 0;
inline constexpr uint8_t TixModule_tag = 0;
inline Value Tix(Value modules) { return rts::con(Tix_tag, std::move(modules)); }
inline Value TixModule(Value name, Value hash, Value tickCount, Value counts) {
    return rts::con(TixModule_tag, std::move(name), std::move(hash), std::move(tickCount), std::move(counts));
}

// The fields of a module record (the record is evaluated, the field is returned as stored).
Value tixModuleName(const Value& m);
Value tixModuleHash(const Value& m);
Value tixModuleTixs(const Value& m);

VUX_STATIC_INSTANCE(inst_Eq_Tix, VUX::Classes::C_Eq_class);
VUX_STATIC_INSTANCE(inst_Eq_TixModule, VUX::Classes::C_Eq_class);
VUX_DECLARE_TEXT_FORMS(Tix);
VUX_DECLARE_TEXT_FORMS(TixModule);
VUX_STATIC_INSTANCE(inst_NFData_Tix, VUX::Record::Operation);
VUX_STATIC_INSTANCE(inst_NFData_TixModule, VUX::Record::Operation);

// `getTixFileName path`: the path with its last extension, if any, replaced by "tix".
Value getTixFileName(const Value& path);
// `writeTix path tix`: an action writing `show tix` to the path (see Util::writeFileUtf8); the text
// is produced while it is written.
Value writeTix(Value path, Value tix);
// `readTix path`: an action giving Nothing when the file cannot be read as UTF-8 (an IOException),
// else Just the Tix read from its text; the text is parsed when the Tix is first used, and a
// malformed text raises the reader's "no parse" or "ambiguous parse" error there.
Value readTix(Value path);

}  // namespace Trace::Cover::Tix
