// pprint of a generated module of 10^3 and 10^4 declarations against render of a flat document
// of the same text: the vcat of its lines, built before the clock starts; 10^5 declarations show
// the growth beyond the processor's caches. The module cycles
// through record types with strictness marks and deriving clauses, signatures, functions with
// guards and where blocks, classes with defaults, instances with case, closed type families and
// do blocks with let statements and comprehensions; every lambda binds a name with a unique, so
// the renumbering map grows with the module. The ratios printed at the end come from one run:
//   - growth: time at 10^4 declarations over time at 10^3, and at 10^5 over 10^4 (linear growth
//     means about 10);
//   - per byte: pprint's time per output byte over render's, at each size.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "Text/PrettyPrint/Drovane.h"
#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/TH/Syntax.h"
#include "rts/Stack.h"

namespace {

namespace S = VUX::Internal::TH::Syntax;
namespace P = VUX::Boot::TH::Ppr;
namespace D = Text::PrettyPrint::Drovane;
using rts::Value;

// ---------------------------------------------------------------------------------------------
// The generated module

struct Generator {
    int64_t i;
    Value name(const char* prefix) const { return S::mkName(prefix + std::to_string(i)); }
    Value num(int64_t k) const { return S::LitE(S::IntegerL(S::integer(k))); }
    static Value var(const char* s) { return S::VarE(S::mkName(s)); }
    static Value pv(const char* s) { return S::VarP(S::mkName(s)); }
    static Value ty(const char* s) { return S::ConT(S::mkName(s)); }
    static Value op(Value a, const char* o, Value b) { return S::UInfixE(a, var(o), b); }
    static Value field(Value n, Value strictness, Value t) {
        return S::triple(n, S::Bang(S::NoSourceUnpackedness(), strictness), t);
    }
    static Value arrow(Value a, Value b) { return S::AppT(S::AppT(S::ArrowT(), a), b); }
    static Value clause(std::initializer_list<Value> ps, Value body, Value decs = S::list({})) {
        return S::Clause(S::list(ps), body, decs);
    }

    // data Ti a = Ai {fi :: !Int, gi :: Maybe a} | Bi a deriving (Eq, Show)
    Value dataDec() const {
        Value a = S::VarT(S::mkName("a"));
        Value rec =
            S::RecC(name("A"), S::list({field(name("f"), S::SourceStrict(), ty("Int")),
                                        field(name("g"), S::NoSourceStrictness(), S::AppT(ty("Maybe"), a))}));
        Value plain =
            S::NormalC(name("B"), S::list({S::pair(S::Bang(S::NoSourceUnpackedness(), S::SourceLazy()), a)}));
        return S::DataD(S::list({}), name("T"), S::list({S::PlainTV(S::mkName("a"), S::BndrReq())}),
                        S::nothing(), S::list({rec, plain}),
                        S::list({S::DerivClause(S::nothing(), S::list({ty("Eq"), ty("Show")}))}));
    }
    Value signature() const { return S::SigD(name("f"), arrow(ty("Int"), ty("Int"))); }
    // fi x | x > i = x | otherwise = y where {y = x + i}
    Value guarded() const {
        Value body = S::GuardedB(S::list({S::pair(S::NormG(op(var("x"), ">", num(i))), var("x")),
                                          S::pair(S::NormG(var("otherwise")), var("y"))}));
        Value local = S::ValD(pv("y"), S::NormalB(op(var("x"), "+", num(i))), S::list({}));
        return S::FunD(name("f"), S::list({clause({pv("x")}, body, S::list({local}))}));
    }
    // class Ci a where {mi :: a -> Int; mi _ = i}
    Value classDec() const {
        Value a = S::VarT(S::mkName("a"));
        return S::ClassD(S::list({}), name("C"), S::list({S::PlainTV(S::mkName("a"), S::BndrReq())}),
                         S::list({}),
                         S::list({S::SigD(name("m"), arrow(a, ty("Int"))),
                                  S::FunD(name("m"), S::list({clause({S::WildP()}, S::NormalB(num(i)))}))}));
    }
    // instance Ci Int where mi = \x -> case x of {0 -> 1; _ -> x}
    Value instanceDec() const {
        Value x = S::mkNameU("x", 1000 + i);
        Value alts = S::list({S::Match(S::LitP(S::IntegerL(S::integer(0))), S::NormalB(num(1)), S::list({})),
                              S::Match(S::WildP(), S::NormalB(S::VarE(x)), S::list({}))});
        Value lambda = S::LamE(S::list({S::VarP(x)}), S::CaseE(S::VarE(x), alts));
        Value member = S::FunD(name("m"), S::list({clause({}, S::NormalB(lambda))}));
        return S::InstanceD(S::nothing(), S::list({}), S::AppT(S::ConT(name("C")), ty("Int")),
                            S::list({member}));
    }
    // type family Fi a where {Fi Int = Bool; Fi a = a}
    Value familyDec() const {
        Value a = S::VarT(S::mkName("a"));
        Value head = S::TypeFamilyHead(name("F"), S::list({S::PlainTV(S::mkName("a"), S::BndrReq())}),
                                       S::NoSig(), S::nothing());
        return S::ClosedTypeFamilyD(
            head, S::list({S::TySynEqn(S::nothing(), S::AppT(S::ConT(name("F")), ty("Int")), ty("Bool")),
                           S::TySynEqn(S::nothing(), S::AppT(S::ConT(name("F")), a), a)}));
    }
    // gi xs = do {let {n = length xs}; print [x | x <- xs, x > n]}
    Value doDec() const {
        Value comp = S::CompE(S::list(
            {S::BindS(pv("x"), var("xs")), S::NoBindS(op(var("x"), ">", var("n"))), S::NoBindS(var("x"))}));
        Value let =
            S::LetS(S::list({S::ValD(pv("n"), S::NormalB(S::AppE(var("length"), var("xs"))), S::list({}))}));
        Value body = S::DoE(S::nothing(), S::list({let, S::NoBindS(S::AppE(var("print"), comp))}));
        return S::FunD(name("g"), S::list({clause({pv("xs")}, S::NormalB(body))}));
    }
    Value declaration() const {
        switch (i % 7) {
            case 0: return dataDec();
            case 1: return signature();
            case 2: return guarded();
            case 3: return classDec();
            case 4: return instanceDec();
            case 5: return familyDec();
            default: return doDec();
        }
    }
};

Value generatedModule(int64_t count) {
    std::vector<Value> decs;
    for (int64_t i = 0; i < count; ++i) decs.push_back(Generator{i}.declaration());
    return VUX::Internal::List::fromValues(decs);
}

Value pprintModule(const Value& decs) { return P::pprint(P::inst_Ppr_List(P::inst_Ppr_Dec()), decs); }

// The flat document of a text: the vcat of its lines.
Value flatDocument(const std::string& text) {
    std::vector<Value> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(D::text(VUX::Internal::List::fromBytes(text.substr(start, end - start))));
    lines.push_back(D::text(VUX::Internal::List::fromBytes(text.substr(start))));
    return D::vcat(VUX::Internal::List::fromValues(lines));
}

// The length of a text, its cells let go as they are counted.
size_t length(Value text) {
    size_t n = 0;
    Value l = rts::force(text);
    text = Value();
    for (; l->tag == VUX::Types::Cons_tag; ++n) {
        Value next = rts::force(rts::field(l, 1));
        l = std::move(next);
    }
    return n;
}

// ---------------------------------------------------------------------------------------------
// Measurements

struct Input {
    Value decs;
    Value flat;
    size_t bytes = 0;
};
Input& input(int64_t count) {
    static std::map<int64_t, Input> inputs;
    Input& in = inputs[count];
    if (in.bytes == 0)
        rts::run_on_large_stack([&] {
            in.decs = generatedModule(count);
            std::string text = VUX::Internal::List::toUtf8(pprintModule(in.decs));
            in.flat = flatDocument(text);
            in.bytes = text.size();
        });
    return in;
}

std::map<std::string, double>& fastest() {
    static std::map<std::string, double> m;
    return m;
}
// The processor time of the calling thread: the machines are shared, so time the thread spent
// waiting for a processor is left out.
double threadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}
template <class F>
void measure(benchmark::State& state, const char* name, F print) {
    Input& in = input(state.range(0));
    for (auto _ : state) {
        size_t chars = 0;
        double seconds = 0;
        rts::run_on_large_stack([&] {
            double start = threadSeconds();
            chars = length(print(in));
            seconds = threadSeconds() - start;
        });
        state.SetIterationTime(seconds);
        if (chars != in.bytes) state.SkipWithError("the text is not the module's");
        double& best = fastest()[std::string(name) + "/" + std::to_string(state.range(0))];
        if (best == 0 || seconds < best) best = seconds;
    }
    state.SetBytesProcessed(int64_t(state.iterations() * in.bytes));
}
void BM_Render(benchmark::State& s) {
    measure(s, "render", [](const Input& in) { return D::render(in.flat); });
}
void BM_Pprint(benchmark::State& s) {
    measure(s, "pprint", [](const Input& in) { return pprintModule(in.decs); });
}

}  // namespace

// The fastest of several runs stands for each size; the small one gets more runs, being shorter.
BENCHMARK(BM_Render)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_Render)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(BM_Render)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Pprint)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_Pprint)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(BM_Pprint)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    auto& f = fastest();
    auto ratio = [&](const char* a, const char* b) { return f.count(a) && f.count(b) ? f[a] / f[b] : 0.0; };
    std::printf("growth (10^4 / 10^3 declarations): pprint %.2f, render %.2f\n",
                ratio("pprint/10000", "pprint/1000"), ratio("render/10000", "render/1000"));
    std::printf("growth (10^5 / 10^4 declarations): pprint %.2f, render %.2f\n",
                ratio("pprint/100000", "pprint/10000"), ratio("render/100000", "render/10000"));
    std::printf("per output byte (pprint / render): %.2f at 10^3, %.2f at 10^4, %.2f at 10^5\n",
                ratio("pprint/1000", "render/1000"), ratio("pprint/10000", "render/10000"),
                ratio("pprint/100000", "render/100000"));
    return 0;
}
