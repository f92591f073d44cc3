// Module Trace.Cover.Mix: the labels of coverage entries and the tree of nested entries.
//
//   data BoxLabel = ExpBox Bool | TopLevelBox [String] | LocalBox [String] | BinBox CondBox Bool
//   data CondBox  = GuardBinBox | CondBinBox | QualBinBox
//
// Constructors are tagged in declaration order and store their fields unevaluated. Equality,
// ordering and the text forms are the derived ones ("BinBox QualBinBox False", in parentheses at
// precedence 11 or more for a label with fields). Hashes: GuardBinBox 16, CondBinBox 32,
// QualBinBox 48, ExpBox b 256 + b, TopLevelBox ns 512 + hash ns, LocalBox ns 768 + hash ns,
// BinBox c b 1024 + pair hash (c, b), all modulo 2^32.
//
// The tree: `createMixEntryDom entries` turns a list of (span, label) entries into a forest of
// `Data.Tree` nodes labelled (span, [label]), one node per distinct span at each place, with the
// spans strictly inside it as children. Labels are stored unevaluated.
#pragma once

#include <cstdint>

#include "VUX/Classes.h"
#include "VUX/Internal/Derived.h"
#include "VUX/Record.h"
#include "VUX/Types.h"
#include "rts/rts.h"

namespace Trace::Cover::Mix {

using rts::Value;

// ---------------------------------------------------------------------------------------------
// Box labels

inline constexpr uint8_t ExpBox_tag = 0;
inline constexpr uint8_t TopLevelBox_tag = 1;
inline constexpr uint8_t LocalBox_tag = 2;
inline constexpr uint8_t BinBox_tag = 3;
inline Value ExpBox(Value b) { return rts::con(ExpBox_tag, std::move(b)); }
inline Value TopLevelBox(Value names) { return rts::con(TopLevelBox_tag, std::move(names)); }
inline Value LocalBox(Value names) { return rts::con(LocalBox_tag, std::move(names)); }
inline Value BinBox(Value cond, Value b) { return rts::con(BinBox_tag, std::move(cond), std::move(b)); }

inline constexpr uint8_t GuardBinBox_tag = 0;
inline constexpr uint8_t CondBinBox_tag = 1;
inline constexpr uint8_t QualBinBox_tag = 2;
extern const rts::StaticNullary CondBox_closure_tbl[3];
inline Value GuardBinBox() { return CondBox_closure_tbl[GuardBinBox_tag].value(); }
inline Value CondBinBox() { return CondBox_closure_tbl[CondBinBox_tag].value(); }
inline Value QualBinBox() { return CondBox_closure_tbl[QualBinBox_tag].value(); }

VUX_STATIC_INSTANCE(inst_Eq_BoxLabel, VUX::Classes::C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_BoxLabel, VUX::Classes::C_Ord_class);
VUX_STATIC_INSTANCE(inst_Eq_CondBox, VUX::Classes::C_Eq_class);
VUX_STATIC_INSTANCE(inst_Ord_CondBox, VUX::Classes::C_Ord_class);
VUX_DECLARE_TEXT_FORMS(BoxLabel);
VUX_DECLARE_TEXT_FORMS(CondBox);
VUX_STATIC_INSTANCE(inst_CoverHash_BoxLabel, VUX::Record::Operation);
VUX_STATIC_INSTANCE(inst_CoverHash_CondBox, VUX::Record::Operation);

// Type representations of the module, of both types and of their promoted constructors.
extern const VUX::Types::StaticModule trModule;
extern const VUX::Types::StaticTyCon tcBoxLabel, tc_prime_ExpBox, tc_prime_TopLevelBox, tc_prime_LocalBox,
    tc_prime_BinBox;
extern const VUX::Types::StaticTyCon tcCondBox, tc_prime_GuardBinBox, tc_prime_CondBinBox,
    tc_prime_QualBinBox;

// ---------------------------------------------------------------------------------------------
// The tree of entries

// `createMixEntryDom entries`: the entries inserted from the last to the first; each goes into
// every node whose span contains it (a label on a node of equal span goes in front), or becomes a
// new node in front of its level, adopting the nodes whose spans lie inside it. The built forest
// is checked with isGoodForest; a forest that fails raises "createMixEntryDom: bad forest".
Value createMixEntryDom(const Value& entries);
// `isGoodForest forest` over nodes labelled (span, anything): each child lies inside its parent
// and differs from it, and no sibling lies inside another; nested forests likewise. The check of
// the siblings of each level takes time quadratic in their number.
bool isGoodForest(const Value& forest);

}  // namespace Trace::Cover::Mix

namespace Trace::Cover::Mix {

// ---------------------------------------------------------------------------------------------
// Module-information files
//
//   data Mix = Mix FilePath UTCTime Hash Int [(CoverPos, BoxLabel)]
//              -- source path, time stamp, hash, tab stop, entries
//
// The constructor (tag 0) stores its fields unevaluated. Equality compares the fields from the
// left, stopping at the first difference; the text form is the derived one, on one line:
//   Mix "src/Geo/Area" 2024-05-17 08:30:00.25 UTC 4822 8 [(3:1-3:24,ExpBox False)]
// and the reader the derived one.

inline constexpr uint8_t Mix_tag = 0;
inline Value Mix(Value path, Value time, Value hash, Value tabStop, Value entries) {
    return rts::con(Mix_tag, std::move(path), std::move(time), std::move(hash), std::move(tabStop),
                    std::move(entries));
}
VUX_STATIC_INSTANCE(inst_Eq_Mix, VUX::Classes::C_Eq_class);
VUX_DECLARE_TEXT_FORMS(Mix);
extern const VUX::Types::StaticTyCon tcMix;

// `mixName dir module`: dir joined with "module.mix" (dots in the module name stay).
Value mixName(const Value& dir, const Value& moduleName);
// `mixCreate dir module mix`: an action writing `show mix` to `mixName dir module` through a text
// handle, creating or truncating the file; a missing directory is an I/O error.
Value mixCreate(Value dir, Value moduleName, Value mix);
// `readMix dirs request`: an action giving the module-information record of a module, where the
// request is `Left name` or `Right tixModule`. Every directory's file is read; files that cannot
// be read count as absent. With a TixModule each found record must carry its hash. No record
// raises "can not find ...", records that differ raise "found N different instances of ...", a
// text that does not parse "can not parse <path>", a hash that differs "hash in tix file ...".
Value readMix(Value dirs, Value request);

}  // namespace Trace::Cover::Mix
