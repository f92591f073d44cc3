#include "VUX/Platform/ArchOS.h"

#include <array>
#include <span>

#include "VUX/CString.h"
#include "rts/Profiling.h"

VUX_MODULE("VUX.Platform.ArchOS");

namespace VUX::Platform::ArchOS {

using Classes::C_Eq_class;
using Classes::C_Ord_class;
using Record::fn;
using Record::ref;
using Types::fromBool;
namespace Derived = VUX::Internal::Derived;

#define VUX_ARCHOS_DEFINE_NULLARY(C) constinit const rts::StaticNullary C##_closure{C##_tag};
#define VUX_ARCHOS_DEFINE_NULLARIES(T) VUX_ARCHOS_##T(VUX_ARCHOS_DEFINE_NULLARY, VUX_ARCHOS_NONE)
VUX_ARCHOS_TYPES(VUX_ARCHOS_DEFINE_NULLARIES)

Value ArchPPC_64(Value abi) { return rts::con(ArchPPC_64_tag, std::move(abi)); }
Value ArchARM(Value isa, Value extensions, Value abi) {
    return rts::con(ArchARM_tag, std::move(isa), std::move(extensions), std::move(abi));
}
Value ArchOS(Value arch, Value os) { return rts::con(ArchOS_tag, std::move(arch), std::move(os)); }
constinit const rts::StaticFun ArchOS_fun{rts::static_fun_info<&ArchOS>};

Value archOS_arch(const Value& archOS) {
    VUX_FUNCTION;
    return Value(rts::force(rts::field(rts::force(archOS), 0)));
}
Value archOS_OS(const Value& archOS) {
    VUX_FUNCTION;
    return Value(rts::force(rts::field(rts::force(archOS), 1)));
}

// ---------------------------------------------------------------------------------------------
// Equality and ordering, derived from the declarations

namespace {

// How one field compares: its type's equality and three-way comparison (an Ordering tag).
struct FieldOps {
    bool (*equal)(const Value&, const Value&);
    uint8_t (*order)(const Value&, const Value&);
};
// The fields of a constructor, by its tag.
using FieldsOf = std::span<const FieldOps> (*)(uint8_t tag);

template <FieldsOf fieldsOf>
bool equal(const Value& x, const Value& y) {
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    if (a->tag != b->tag) return false;
    std::span<const FieldOps> fields = fieldsOf(a->tag);
    for (size_t i = 0; i < fields.size(); ++i)
        if (!fields[i].equal(rts::field(a, i), rts::field(b, i))) return false;
    return true;
}

template <FieldsOf fieldsOf>
uint8_t order(const Value& x, const Value& y) {
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    if (a->tag != b->tag) return a->tag < b->tag ? Types::LT_tag : Types::GT_tag;
    std::span<const FieldOps> fields = fieldsOf(a->tag);
    for (size_t i = 0; i < fields.size(); ++i) {
        uint8_t r = fields[i].order(rts::field(a, i), rts::field(b, i));
        if (r != Types::EQ_tag) return r;
    }
    return Types::EQ_tag;
}

template <FieldsOf fieldsOf>
constexpr FieldOps opsOf{&equal<fieldsOf>, &order<fieldsOf>};

std::span<const FieldOps> noFields(uint8_t) { return {}; }
constexpr FieldsOf fields_ArmISA = &noFields;
constexpr FieldsOf fields_ArmISAExt = &noFields;
constexpr FieldsOf fields_ArmABI = &noFields;
constexpr FieldsOf fields_PPC_64ABI = &noFields;
constexpr FieldsOf fields_OS = &noFields;

// The extension list of ArchARM: list equality and lexicographic order over the extensions.
bool extensionsEqual(const Value& xs, const Value& ys) {
    return Classes::listEq(inst_Eq_ArmISAExt(), xs, ys);
}
uint8_t extensionsOrder(const Value& xs, const Value& ys) {
    return Classes::listCompare(inst_Ord_ArmISAExt(), xs, ys);
}

std::span<const FieldOps> fields_Arch(uint8_t tag) {
    static constexpr std::array ppc64{opsOf<fields_PPC_64ABI>};
    static constexpr std::array arm{opsOf<fields_ArmISA>, FieldOps{&extensionsEqual, &extensionsOrder},
                                    opsOf<fields_ArmABI>};
    if (tag == ArchPPC_64_tag) return ppc64;
    if (tag == ArchARM_tag) return arm;
    return {};
}

std::span<const FieldOps> fields_ArchOS(uint8_t) {
    static constexpr std::array archOS{opsOf<&fields_Arch>, opsOf<fields_OS>};
    return archOS;
}

Value evaluated(const Value& v) { return Value(rts::force(v)); }
Value ordering(uint8_t tag) { return Value::adopt(Types::Ordering_closure_tbl[tag]); }

}  // namespace

// The nine operations of type T, each with its cost centre, and its two static records.
// clang-format off
#define VUX_ARCHOS_COMPARISON(name, result)                                                          \
    Value name(const Value& x, const Value& y) {                                                     \
        VUX_FUNCTION;                                                                                \
        return result;                                                                               \
    }
#define VUX_ARCHOS_COMPARISONS(T)                                                                    \
    namespace {                                                                                      \
    VUX_ARCHOS_COMPARISON(eq##T, fromBool(equal<fields_##T>(x, y)))                                  \
    VUX_ARCHOS_COMPARISON(ne##T, fromBool(!equal<fields_##T>(x, y)))                                 \
    VUX_ARCHOS_COMPARISON(compare##T, ordering(order<fields_##T>(x, y)))                             \
    VUX_ARCHOS_COMPARISON(lt##T, fromBool(order<fields_##T>(x, y) == Types::LT_tag))                 \
    VUX_ARCHOS_COMPARISON(le##T, fromBool(order<fields_##T>(x, y) != Types::GT_tag))                 \
    VUX_ARCHOS_COMPARISON(gt##T, fromBool(order<fields_##T>(x, y) == Types::GT_tag))                 \
    VUX_ARCHOS_COMPARISON(ge##T, fromBool(order<fields_##T>(x, y) != Types::LT_tag))                 \
    VUX_ARCHOS_COMPARISON(max##T, evaluated(order<fields_##T>(x, y) == Types::GT_tag ? x : y))       \
    VUX_ARCHOS_COMPARISON(min##T, evaluated(order<fields_##T>(x, y) == Types::GT_tag ? y : x))       \
    }                                                                                                \
    constinit const Record::Static<C_Eq_class> inst_Eq_##T##_closure{fn<&eq##T>, fn<&ne##T>};        \
    constinit const Record::Static<C_Ord_class> inst_Ord_##T##_closure{                              \
        ref(inst_Eq_##T##_closure), fn<&compare##T>, fn<&lt##T>, fn<&le##T>, fn<&gt##T>, fn<&ge##T>, \
        fn<&max##T>, fn<&min##T>};
// clang-format on
VUX_ARCHOS_TYPES(VUX_ARCHOS_COMPARISONS)

// ---------------------------------------------------------------------------------------------
// Text forms, derived from the declarations

namespace {
std::vector<Derived::Field> ArchPPC_64_fields() { return {forms_PPC_64ABI()}; }
std::vector<Derived::Field> ArchARM_fields() {
    return {forms_ArmISA(), Derived::listOf(forms_ArmISAExt()), forms_ArmABI()};
}
std::vector<Derived::Field> ArchOS_fields() {
    return {{forms_Arch(), "archOS_arch"}, {forms_OS(), "archOS_OS"}};
}
}  // namespace

#define VUX_ARCHOS_CON(C) {#C},
#define VUX_ARCHOS_CON_WITH_FIELDS(C) {#C, C##_fields()},
#define VUX_ARCHOS_TEXT_FORMS(T) \
    VUX_DERIVE_TEXT_FORMS(T, VUX_ARCHOS_##T(VUX_ARCHOS_CON, VUX_ARCHOS_CON_WITH_FIELDS))
VUX_ARCHOS_TYPES(VUX_ARCHOS_TEXT_FORMS)

// ---------------------------------------------------------------------------------------------
// Target-triple tokens and predicates

namespace {
using Token = CString::StaticCString;
constinit Token token_unknown{"unknown"};
constinit Token token_i386{"i386"}, token_x86_64{"x86_64"}, token_powerpc{"powerpc"},
    token_powerpc64{"powerpc64"}, token_s390x{"s390x"}, token_armv5{"armv5"}, token_armv6{"armv6"},
    token_armv7{"armv7"}, token_aarch64{"aarch64"}, token_alpha{"alpha"}, token_mipseb{"mipseb"},
    token_mipsel{"mipsel"}, token_riscv64{"riscv64"}, token_loongarch64{"loongarch64"},
    token_javascript{"javascript"}, token_wasm32{"wasm32"};
constinit Token token_linux{"linux"}, token_darwin{"darwin"}, token_solaris2{"solaris2"},
    token_mingw32{"mingw32"}, token_freebsd{"freebsd"}, token_dragonfly{"dragonfly"},
    token_openbsd{"openbsd"}, token_netbsd{"netbsd"}, token_kfreebsdgnu{"kfreebsdgnu"}, token_haiku{"haiku"},
    token_nto_qnx{"nto-qnx"}, token_aix{"aix"}, token_hurd{"hurd"}, token_wasi{"wasi"}, token_vuxjs{"vuxjs"};

// By constructor tag; ArchARM's token is chosen by its instruction-set level.
constexpr std::array<Token*, Arch_count> archTokens{
    &token_unknown, &token_i386,    &token_x86_64,      &token_powerpc,    &token_powerpc64,
    &token_s390x,   nullptr,        &token_aarch64,     &token_alpha,      &token_mipseb,
    &token_mipsel,  &token_riscv64, &token_loongarch64, &token_javascript, &token_wasm32};
constexpr std::array<Token*, ArmISA_count> armTokens{&token_armv5, &token_armv6, &token_armv7};
constexpr std::array<Token*, OS_count> osTokens{
    &token_unknown,   &token_linux,   &token_darwin, &token_solaris2,    &token_mingw32, &token_freebsd,
    &token_dragonfly, &token_openbsd, &token_netbsd, &token_kfreebsdgnu, &token_haiku,   &token_nto_qnx,
    &token_aix,       &token_hurd,    &token_wasi,   &token_vuxjs};

// The object format of each operating system.
enum class ObjectFormat : uint8_t { Other, Elf, MachO };
constexpr std::array<ObjectFormat, OS_count> objectFormats = [] {
    std::array<ObjectFormat, OS_count> f{};
    for (uint8_t os : {OSLinux_tag, OSSolaris2_tag, OSFreeBSD_tag, OSDragonFly_tag, OSOpenBSD_tag,
                       OSNetBSD_tag, OSKFreeBSD_tag, OSHaiku_tag, OSHurd_tag})
        f[os] = ObjectFormat::Elf;
    f[OSDarwin_tag] = ObjectFormat::MachO;
    return f;
}();

uint8_t tagOf(const Value& v) { return rts::force(v)->tag; }
Value tokenValue(Token* token) { return Value(token->get()); }
}  // namespace

Value stringEncodeArch(const Value& arch) {
    VUX_FUNCTION;
    const Value& a = rts::force(arch);
    if (a->tag == ArchARM_tag) return tokenValue(armTokens[tagOf(rts::field(a, 0))]);
    return tokenValue(archTokens[a->tag]);
}

Value stringEncodeOS(const Value& os) {
    VUX_FUNCTION;
    return tokenValue(osTokens[tagOf(os)]);
}

Value osElfTarget(const Value& os) {
    VUX_FUNCTION;
    return fromBool(objectFormats[tagOf(os)] == ObjectFormat::Elf);
}

Value osMachOTarget(const Value& os) {
    VUX_FUNCTION;
    return fromBool(objectFormats[tagOf(os)] == ObjectFormat::MachO);
}

Value isARM(const Value& arch) {
    VUX_FUNCTION;
    uint8_t tag = tagOf(arch);
    return fromBool(tag == ArchARM_tag || tag == ArchAArch64_tag);
}

Value isPPC(const Value& arch) {
    VUX_FUNCTION;
    uint8_t tag = tagOf(arch);
    return fromBool(tag == ArchPPC_tag || tag == ArchPPC_64_tag);
}

// ---------------------------------------------------------------------------------------------
// Type representations

VUX_DEFINE_MODULE(trModule, VUX_PACKAGE_ID, "VUX.Platform.ArchOS");
#define VUX_ARCHOS_TYCON(T) VUX_DEFINE_TYCON(tc##T, trModule, #T, 0, Types::kindType);
VUX_ARCHOS_TYPES(VUX_ARCHOS_TYCON)

// The kinds of the promoted constructors: the type itself for one without fields, the function
// kind from its fields' types for the others.
namespace {
using rts::ref_slot;
#define VUX_ARCHOS_KIND_OF(T) \
    constexpr const rts::Object* kindOf(T##_tags) { return &tc##T##_kind.header; }
VUX_ARCHOS_TYPES(VUX_ARCHOS_KIND_OF)
constexpr rts::StaticCon<2> kindArrow(const rts::Object* from, const rts::Object* to) {
    return rts::StaticCon<2>(Types::KindRepFun_tag, ref_slot(from), ref_slot(to));
}
constinit const rts::StaticCon<2> ArchPPC_64_kind = kindArrow(kindOf(ELF_V1_tag), kindOf(ArchUnknown_tag));
constinit const rts::StaticCon<2> extensionKinds{Types::Cons_tag, ref_slot(kindOf(VFPv2_tag)),
                                                 ref_slot(Types::Nil_closure.object())};
constinit const rts::StaticCon<2> extensionListKind{
    Types::KindRepTyConApp_tag, ref_slot(Types::tcList.object()), ref_slot(extensionKinds.object())};
constinit const rts::StaticCon<2> ArchARM_kind3 = kindArrow(kindOf(SOFT_tag), kindOf(ArchUnknown_tag));
constinit const rts::StaticCon<2> ArchARM_kind2 =
    kindArrow(extensionListKind.object(), ArchARM_kind3.object());
constinit const rts::StaticCon<2> ArchARM_kind = kindArrow(kindOf(ARMv5_tag), ArchARM_kind2.object());
constinit const rts::StaticCon<2> ArchOS_kind2 = kindArrow(kindOf(OSUnknown_tag), kindOf(ArchOS_tag));
constinit const rts::StaticCon<2> ArchOS_kind = kindArrow(kindOf(ArchUnknown_tag), ArchOS_kind2.object());
}  // namespace
#define VUX_ARCHOS_PROMOTED_NULLARY(C) VUX_DEFINE_TYCON(tc_prime_##C, trModule, "'" #C, 0, kindOf(C##_tag));
#define VUX_ARCHOS_PROMOTED_WITH_FIELDS(C) \
    VUX_DEFINE_TYCON(tc_prime_##C, trModule, "'" #C, 0, C##_kind.object());
#define VUX_ARCHOS_PROMOTED_CONS(T) \
    VUX_ARCHOS_##T(VUX_ARCHOS_PROMOTED_NULLARY, VUX_ARCHOS_PROMOTED_WITH_FIELDS)
VUX_ARCHOS_TYPES(VUX_ARCHOS_PROMOTED_CONS)

}  // namespace VUX::Platform::ArchOS
