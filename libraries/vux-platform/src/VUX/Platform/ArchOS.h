// Module VUX.Platform.ArchOS: the description of a compilation target (its processor architecture,
// with the instruction-set level, extensions and floating-point ABI of an ARM target and the ELF
// ABI version of a 64-bit PowerPC target, and its operating system), the target-triple tokens of
// architectures and operating systems, the object-format and architecture-family predicates, and
// the Eq, Ord, Show and Read records of the seven types.
//
// Constructors are numbered in declaration order (`<Constructor>_tag`); a constructor without
// fields is a static value (`ArchX86()`), one with fields stores them unevaluated. Equality and
// ordering evaluate both values to their constructors and then compare fields from the first,
// evaluating a field only when the constructors agree and no earlier field decided. The text forms
// are those derived from the declarations (constructor and field names as written here).
#pragma once

#include <cstdint>

#include "VUX/Classes.h"
#include "VUX/Internal/Derived.h"
#include "VUX/Types.h"
#include "rts/rts.h"

namespace VUX::Platform::ArchOS {

using rts::Value;

// The constructors of each type in declaration order: `N(C)` for a constructor without fields,
// `F(C)` for one with fields.
// clang-format off
#define VUX_ARCHOS_ArmISA(N, F) N(ARMv5) N(ARMv6) N(ARMv7)
#define VUX_ARCHOS_ArmISAExt(N, F) N(VFPv2) N(VFPv3) N(VFPv3D16) N(NEON) N(IWMMX2)
#define VUX_ARCHOS_ArmABI(N, F) N(SOFT) N(SOFTFP) N(HARD)
#define VUX_ARCHOS_PPC_64ABI(N, F) N(ELF_V1) N(ELF_V2)
#define VUX_ARCHOS_Arch(N, F)                                                                        \
    N(ArchUnknown) N(ArchX86) N(ArchX86_64) N(ArchPPC) F(ArchPPC_64) N(ArchS390X) F(ArchARM)         \
    N(ArchAArch64) N(ArchAlpha) N(ArchMipseb) N(ArchMipsel) N(ArchRISCV64) N(ArchLoongArch64)        \
    N(ArchJavaScript) N(ArchWasm32)
#define VUX_ARCHOS_OS(N, F)                                                                          \
    N(OSUnknown) N(OSLinux) N(OSDarwin) N(OSSolaris2) N(OSMinGW32) N(OSFreeBSD) N(OSDragonFly)       \
    N(OSOpenBSD) N(OSNetBSD) N(OSKFreeBSD) N(OSHaiku) N(OSQNXNTO) N(OSAIX) N(OSHurd) N(OSWasi)       \
    N(OSVuxjs)
#define VUX_ARCHOS_ArchOS(N, F) F(ArchOS)
// The seven types.
#define VUX_ARCHOS_TYPES(X) X(ArmISA) X(ArmISAExt) X(ArmABI) X(PPC_64ABI) X(Arch) X(OS) X(ArchOS)

#define VUX_ARCHOS_TAG(C) C##_tag,
#define VUX_ARCHOS_NULLARY(C)                                                                        \
    extern const rts::StaticNullary C##_closure;                                                     \
    inline Value C() { return C##_closure.value(); }
#define VUX_ARCHOS_NONE(C)
#define VUX_ARCHOS_PROMOTED(C) extern const Types::StaticTyCon tc_prime_##C;
#define VUX_ARCHOS_DECLARE_TYPE(T)                                                                   \
    enum T##_tags : uint8_t { VUX_ARCHOS_##T(VUX_ARCHOS_TAG, VUX_ARCHOS_TAG) T##_count };            \
    VUX_ARCHOS_##T(VUX_ARCHOS_NULLARY, VUX_ARCHOS_NONE)                                              \
    VUX_STATIC_INSTANCE(inst_Eq_##T, Classes::C_Eq_class);                                           \
    VUX_STATIC_INSTANCE(inst_Ord_##T, Classes::C_Ord_class);                                         \
    VUX_DECLARE_TEXT_FORMS(T);                                                                       \
    extern const Types::StaticTyCon tc##T;                                                           \
    VUX_ARCHOS_##T(VUX_ARCHOS_PROMOTED, VUX_ARCHOS_PROMOTED)
// clang-format on

// For each type T: the tags `<C>_tag` and their count `T_count`; `C()` for every constructor
// without fields; `inst_Eq_T`, `inst_Ord_T` (static records); `inst_Show_T`, `inst_Read_T` and
// `forms_T` (see VUX/Internal/Derived.h); the type representations `tcT` and, of each constructor
// promoted to a type, `tc_prime_C`.
VUX_ARCHOS_TYPES(VUX_ARCHOS_DECLARE_TYPE)

// The constructors with fields; nothing is evaluated.
Value ArchPPC_64(Value abi);
Value ArchARM(Value isa, Value extensions, Value abi);
Value ArchOS(Value arch, Value os);
// ArchOS as a function value of two arguments.
extern const rts::StaticFun ArchOS_fun;

// The fields of an ArchOS, evaluated; the other field stays as it is.
Value archOS_arch(const Value& archOS);
Value archOS_OS(const Value& archOS);

// The target-triple token of an architecture ("x86_64", "armv7"...) and of an operating system
// ("linux", "nto-qnx"...): shared constants, unpacked on first use. Only the constructor is
// examined, and for ArchARM its instruction-set level.
Value stringEncodeArch(const Value& arch);
Value stringEncodeOS(const Value& os);
// Whether an operating system uses ELF, or Mach-O, object files.
Value osElfTarget(const Value& os);
Value osMachOTarget(const Value& os);
// Whether an architecture is of the ARM family (ArchARM, ArchAArch64), or of the PowerPC family
// (ArchPPC, ArchPPC_64); the fields are not examined.
Value isARM(const Value& arch);
Value isPPC(const Value& arch);

}  // namespace VUX::Platform::ArchOS
