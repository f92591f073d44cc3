#include "Trace/Cover/Tix.h"

#include "System/FilePath/Posix.h"
#include "Trace/Cover/Util.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/Num.h"
#include "VUX/Internal/Read.h"
#include "VUX/Internal/Show.h"
#include "VUX/Internal/Stack.h"
#include "VUX/Num/Integer.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"
#include "rts/Profiling.h"

VUX_MODULE("Trace.Cover.Tix");

namespace Trace::Cover::Tix {

namespace Derived = VUX::Internal::Derived;

Value tixModuleName(const Value& m) { return rts::field(rts::force(m), 0); }
Value tixModuleHash(const Value& m) { return rts::field(rts::force(m), 1); }
Value tixModuleTixs(const Value& m) { return rts::field(rts::force(m), 3); }

// ---------------------------------------------------------------------------------------------
// Equality

namespace {
bool equalBy(const Value& dEq, const Value& x, const Value& y) {
    return VUX::Types::isTrue(rts::force(rts::apply(VUX::Classes::op_eq_eq(dEq), x, y)));
}

bool equalModules(const Value& x, const Value& y) {
    static const Value& countsEq =
        *new Value(VUX::Classes::inst_Eq_List(VUX::Internal::Num::inst_Eq_Integer()));
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    return equalBy(VUX::Classes::inst_Eq_List_Char(), rts::field(a, 0), rts::field(b, 0)) &&
           Util::hashWord(rts::field(a, 1)) == Util::hashWord(rts::field(b, 1)) &&
           VUX::Types::intOf(rts::force(rts::field(a, 2))) ==
               VUX::Types::intOf(rts::force(rts::field(b, 2))) &&
           equalBy(countsEq, rts::field(a, 3), rts::field(b, 3));
}

bool equalTix(const Value& x, const Value& y) {
    static const Value& modulesEq = *new Value(VUX::Classes::inst_Eq_List(inst_Eq_TixModule()));
    return equalBy(modulesEq, rts::field(rts::force(x), 0), rts::field(rts::force(y), 0));
}

template <bool (*Equal)(const Value&, const Value&)>
struct EqOps {
    static Value eq(const Value& x, const Value& y) { return VUX::Types::fromBool(Equal(x, y)); }
    static Value ne(const Value& x, const Value& y) { return VUX::Types::fromBool(!Equal(x, y)); }
};
}  // namespace

using VUX::Record::fn;
constinit const VUX::Record::Static<VUX::Classes::C_Eq_class> inst_Eq_TixModule_closure{
    fn<&EqOps<&equalModules>::eq>, fn<&EqOps<&equalModules>::ne>};
constinit const VUX::Record::Static<VUX::Classes::C_Eq_class> inst_Eq_Tix_closure{fn<&EqOps<&equalTix>::eq>,
                                                                                  fn<&EqOps<&equalTix>::ne>};

// ---------------------------------------------------------------------------------------------
// Text forms

VUX_DERIVE_TEXT_FORMS(TixModule,
                      {"TixModule",
                       {Derived::String(), Derived::Forms{Util::inst_Show_Hash(), Util::inst_Read_Hash()},
                        Derived::Int(), Derived::listOf(Derived::Integer())}})
VUX_DERIVE_TEXT_FORMS(Tix, {"Tix", {Derived::listOf(forms_TixModule())}})

// ---------------------------------------------------------------------------------------------
// Deep evaluation

namespace {
// Evaluates every element of a list, each with `each`.
template <class F>
void forEach(const Value& list, F each) {
    Value l = rts::force(list);
    while (l->tag == VUX::Types::Cons_tag) {
        each(rts::field(l, 0));
        Value next = rts::force(rts::field(l, 1));
        l = std::move(next);
    }
}

Value rnfTixModule(const Value& m) {
    const Value& r = rts::force(m);
    forEach(rts::field(r, 0), [](const Value& c) { rts::force(c); });
    Util::hashWord(rts::field(r, 1));
    rts::force(rts::field(r, 2));
    forEach(rts::field(r, 3), [](const Value& n) { rts::force(n); });
    return VUX::Tuple::Unit();
}

Value rnfTix(const Value& t) {
    forEach(rts::field(rts::force(t), 0), [](const Value& m) { rnfTixModule(m); });
    return VUX::Tuple::Unit();
}
}  // namespace

constinit const rts::StaticFun inst_NFData_TixModule_closure{rts::static_fun_info<&rnfTixModule>};
constinit const rts::StaticFun inst_NFData_Tix_closure{rts::static_fun_info<&rnfTix>};

// ---------------------------------------------------------------------------------------------
// The file

using Path = System::FilePath::Posix::Ops;
using VUX::Internal::IO::io;
using VUX::Internal::IO::runIO;

Value getTixFileName(const Value& path) {
    return Path::addExtension(Path::dropExtension(path), VUX::Internal::List::fromBytes("tix"));
}

Value writeTix(Value path, Value tix) {
    VUX_FUNCTION;
    return Util::writeFileUtf8(std::move(path), VUX::Internal::Show::show(inst_Show_Tix(), tix));
}

Value readTix(Value path) {
    VUX_FUNCTION;
    Value readText = io([path = std::move(path)] {
        Value text = runIO(Util::readFileUtf8(path));
        return VUX::Internal::Maybe::Just(
            rts::delay([text] { return VUX::Internal::Read::read(inst_Read_Tix(), text); }));
    });
    Value unreadable =
        rts::fun<1>([](const Value&) { return io([] { return VUX::Internal::Maybe::Nothing(); }); });
    return Util::catchIO(std::move(readText), std::move(unreadable));
}

}  // namespace Trace::Cover::Tix
