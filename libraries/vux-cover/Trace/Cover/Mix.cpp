#include "Trace/Cover/Mix.h"

#include <memory>
#include <vector>

#include "Data/Either.h"
#include "Data/Time/Clock.h"
#include "Data/Time/Format.h"
#include "Data/Tree.h"
#include "System/FilePath/Posix.h"
#include "System/IO.h"
#include "Trace/Cover/Tix.h"
#include "Trace/Cover/Util.h"
#include "VUX/Internal/Err.h"
#include "VUX/Internal/IO.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Maybe.h"
#include "VUX/Internal/OrdRecord.h"
#include "VUX/Internal/Read.h"
#include "VUX/Internal/Show.h"
#include "VUX/Internal/Stack.h"
#include "VUX/Tuple.h"
#include "VUX/Types.h"
#include "rts/Profiling.h"

VUX_MODULE("Trace.Cover.Mix");

namespace Trace::Cover::Mix {

using Util::Span;
using VUX::Types::Cons;
using VUX::Types::Nil;

constinit const rts::StaticNullary CondBox_closure_tbl[3] = {rts::StaticNullary(GuardBinBox_tag),
                                                             rts::StaticNullary(CondBinBox_tag),
                                                             rts::StaticNullary(QualBinBox_tag)};

namespace {
// `error msg` with the one call-stack entry of its place in this module.
[[noreturn]] void errorAt(Value message, int64_t line, int64_t startCol, int64_t endCol) {
    Util::errorIn("Trace.Cover.Mix", "libraries/vux-cover/Trace/Cover/Mix", std::move(message), line,
                  startCol, endCol);
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Box labels: equality and order

namespace {
int compareTags(const Value& a, const Value& b) { return (a->tag > b->tag) - (a->tag < b->tag); }
int compareConstructors(const Value& x, const Value& y) { return compareTags(rts::force(x), rts::force(y)); }

int compareNames(const Value& x, const Value& y) {
    Value order = rts::apply(VUX::Classes::compare(VUX::Classes::inst_Ord_List_List_Char()), x, y);
    return rts::force(order)->tag - VUX::Types::EQ_tag;
}

int compareBoxLabel(const Value& x, const Value& y) {
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    if (int c = compareTags(a, b)) return c;
    switch (a->tag) {
        case ExpBox_tag: return compareConstructors(rts::field(a, 0), rts::field(b, 0));
        case TopLevelBox_tag:
        case LocalBox_tag: return compareNames(rts::field(a, 0), rts::field(b, 0));
        default:
            if (int c = compareConstructors(rts::field(a, 0), rts::field(b, 0))) return c;
            return compareConstructors(rts::field(a, 1), rts::field(b, 1));
    }
}
}  // namespace

using VUX::Internal::OrdRecord::eqRecord;
using VUX::Internal::OrdRecord::ordRecord;
constinit const VUX::Record::Static<VUX::Classes::C_Eq_class> inst_Eq_BoxLabel_closure =
    eqRecord<&compareBoxLabel>();
constinit const VUX::Record::Static<VUX::Classes::C_Ord_class> inst_Ord_BoxLabel_closure =
    ordRecord<&inst_Eq_BoxLabel_closure, &compareBoxLabel>();
constinit const VUX::Record::Static<VUX::Classes::C_Eq_class> inst_Eq_CondBox_closure =
    eqRecord<&compareConstructors>();
constinit const VUX::Record::Static<VUX::Classes::C_Ord_class> inst_Ord_CondBox_closure =
    ordRecord<&inst_Eq_CondBox_closure, &compareConstructors>();

// ---------------------------------------------------------------------------------------------
// Box labels: text forms

namespace Derived = VUX::Internal::Derived;
VUX_DERIVE_TEXT_FORMS(CondBox, {"GuardBinBox"}, {"CondBinBox"}, {"QualBinBox"})
VUX_DERIVE_TEXT_FORMS(BoxLabel, {"ExpBox", {Derived::Bool()}},
                      {"TopLevelBox", {Derived::listOf(Derived::String())}},
                      {"LocalBox", {Derived::listOf(Derived::String())}},
                      {"BinBox", {forms_CondBox(), Derived::Bool()}})

// ---------------------------------------------------------------------------------------------
// Box labels: type representations

using VUX::Types::kindType;
VUX_DEFINE_MODULE(trModule, VUX_PACKAGE_ID, "Trace.Cover.Mix");
VUX_DEFINE_TYCON(tcCondBox, trModule, "CondBox", 0, kindType);
VUX_DEFINE_TYCON(tc_prime_GuardBinBox, trModule, "'GuardBinBox", 0, &tcCondBox_kind.header);
VUX_DEFINE_TYCON(tc_prime_CondBinBox, trModule, "'CondBinBox", 0, &tcCondBox_kind.header);
VUX_DEFINE_TYCON(tc_prime_QualBinBox, trModule, "'QualBinBox", 0, &tcCondBox_kind.header);
VUX_DEFINE_TYCON(tcBoxLabel, trModule, "BoxLabel", 0, kindType);
namespace {
// The kinds of the promoted labels: Bool -> BoxLabel, [[Char]] -> BoxLabel, CondBox -> Bool -> BoxLabel.
using VUX::Record::ref;
constexpr rts::StaticCon<2> arrow(const rts::Object* a, const rts::Object* b) {
    return rts::StaticCon<2>(VUX::Types::KindRepFun_tag, ref(a), ref(b));
}
constexpr rts::StaticCon<2> listOf(const rts::Object* elementKind) {
    return rts::StaticCon<2>(VUX::Types::Cons_tag, ref(elementKind), ref(&VUX::Types::Nil_closure.header));
}
constinit const VUX::Types::StaticKindTyConApp kindBool{VUX::Types::tcBool, &VUX::Types::Nil_closure.header};
constinit const VUX::Types::StaticKindTyConApp kindChar{VUX::Types::tcChar, &VUX::Types::Nil_closure.header};
constinit const rts::StaticCon<2> charArg = listOf(&kindChar.header);
constinit const VUX::Types::StaticKindTyConApp kindString{VUX::Types::tcList, &charArg.header};
constinit const rts::StaticCon<2> stringArg = listOf(&kindString.header);
constinit const VUX::Types::StaticKindTyConApp kindNames{VUX::Types::tcList, &stringArg.header};
constinit const rts::StaticCon<2> kindExpBox = arrow(&kindBool.header, &tcBoxLabel_kind.header);
constinit const rts::StaticCon<2> kindNamesBox = arrow(&kindNames.header, &tcBoxLabel_kind.header);
constinit const rts::StaticCon<2> kindBinBox =
    arrow(&tcCondBox_kind.header, &kindExpBox.header);  // CondBox -> (Bool -> BoxLabel)
}  // namespace
VUX_DEFINE_TYCON(tc_prime_ExpBox, trModule, "'ExpBox", 0, &kindExpBox.header);
VUX_DEFINE_TYCON(tc_prime_TopLevelBox, trModule, "'TopLevelBox", 0, &kindNamesBox.header);
VUX_DEFINE_TYCON(tc_prime_LocalBox, trModule, "'LocalBox", 0, &kindNamesBox.header);
VUX_DEFINE_TYCON(tc_prime_BinBox, trModule, "'BinBox", 0, &kindBinBox.header);

// ---------------------------------------------------------------------------------------------
// Box labels: hashes

namespace {
uint32_t condBoxHash(const Value& c) { return 0x10u * (rts::force(c)->tag + 1u); }

Value hashCondBox(const Value& c) { return Util::Hash(condBoxHash(c)); }

uint32_t namesHash(const Value& names) {
    static const Value& hashNames =
        *new Value(Util::inst_CoverHash_List(Util::inst_CoverHash_List(Util::inst_CoverHash_Char())));
    return Util::hashOf(hashNames, names);
}

uint32_t boolHash(const Value& b) { return Util::hashOf(Util::inst_CoverHash_Bool(), b); }

Value hashBoxLabel(const Value& label) {
    const Value& l = rts::force(label);
    switch (l->tag) {
        case ExpBox_tag: return Util::Hash(0x100u + boolHash(rts::field(l, 0)));
        case TopLevelBox_tag: return Util::Hash(0x200u + namesHash(rts::field(l, 0)));
        case LocalBox_tag: return Util::Hash(0x300u + namesHash(rts::field(l, 0)));
        default: {
            uint32_t cond = condBoxHash(rts::field(l, 0));
            return Util::Hash(0x400u + Util::combineHash(cond, boolHash(rts::field(l, 1))));
        }
    }
}
}  // namespace

constinit const rts::StaticFun inst_CoverHash_BoxLabel_closure{rts::static_fun_info<&hashBoxLabel>};
constinit const rts::StaticFun inst_CoverHash_CondBox_closure{rts::static_fun_info<&hashCondBox>};

// ---------------------------------------------------------------------------------------------
// The tree of entries
//
// The forest is built in C++ nodes, which the insertion changes in place (a value inserted into
// several siblings gets a node of its own in each), then turned into Data.Tree values.

namespace {
struct Entry {
    Span span;
    Value spanValue;
    Value label;
};

struct Node {
    Span span;
    Value spanValue;
    std::vector<Value> labelsReversed;  // the front of the label list last
    std::vector<std::unique_ptr<Node>> children;
    ~Node();
};
using Forest = std::vector<std::unique_ptr<Node>>;

// Releases the nodes below one level at a time, so a deep tree costs no stack.
Node::~Node() {
    Forest pending = std::move(children);
    while (!pending.empty()) {
        std::unique_ptr<Node> n = std::move(pending.back());
        pending.pop_back();
        for (auto& c : n->children) pending.push_back(std::move(c));
        n->children.clear();
    }
}

bool sameSpan(const Span& a, const Span& b) {
    return a.startLine == b.startLine && a.startCol == b.startCol && a.endLine == b.endLine &&
           a.endCol == b.endCol;
}

std::unique_ptr<Node> leaf(const Entry& e) {
    auto n = std::make_unique<Node>();
    n->span = e.span;
    n->spanValue = e.spanValue;
    n->labelsReversed.push_back(e.label);
    return n;
}

void addNodeToTree(const Entry& e, Node& node);

void addNodeToList(const Entry& e, Forest& forest) {
    rts::stack_check();
    bool anyInner = false, anyOuter = false;
    std::vector<bool> outer(forest.size());
    for (size_t i = 0; i < forest.size(); ++i) {
        anyInner = anyInner || Util::inside(e.span, forest[i]->span);
        outer[i] = Util::inside(forest[i]->span, e.span);
        anyOuter = anyOuter || outer[i];
    }
    if (anyInner) {
        for (auto& n : forest)
            if (Util::inside(e.span, n->span)) addNodeToTree(e, *n);
        return;
    }
    // A new node in front, adopting the nodes that lie inside it.
    auto fresh = leaf(e);
    if (!anyOuter) {
        forest.insert(forest.begin(), std::move(fresh));
        return;
    }
    Forest rest;
    rest.push_back(nullptr);  // the new node's place
    for (size_t i = 0; i < forest.size(); ++i)
        (outer[i] ? fresh->children : rest).push_back(std::move(forest[i]));
    rest.front() = std::move(fresh);
    forest = std::move(rest);
}

void addNodeToTree(const Entry& e, Node& node) {
    if (sameSpan(e.span, node.span))
        node.labelsReversed.push_back(e.label);
    else if (Util::inside(e.span, node.span))
        addNodeToList(e, node.children);
    else if (Util::inside(node.span, e.span))
        errorAt(VUX::Internal::List::fromBytes("precondition not met inside addNodeToNode"), 157, 8, 13);
    else
        errorAt(VUX::Internal::List::fromBytes("something impossible happened in addNodeToTree"), 158, 17,
                22);
}

Value forestValue(const Forest& forest);

Value treeValue(const Node& n) {
    Value labels = Nil();
    for (const Value& l : n.labelsReversed) labels = Cons(l, std::move(labels));
    return Data::Tree::Node(VUX::Tuple::Tuple2(n.spanValue, std::move(labels)), forestValue(n.children));
}

Value forestValue(const Forest& forest) {
    rts::stack_check();
    Value out = Nil();
    for (auto it = forest.rbegin(); it != forest.rend(); ++it) out = Cons(treeValue(**it), std::move(out));
    return out;
}

// The entries in list order, each evaluated to its pair as the walk reaches it (spans come later).
std::vector<Entry> entriesOf(const Value& entries) {
    std::vector<Entry> out;
    for (Value l = rts::force(entries); l->tag == VUX::Types::Cons_tag;) {
        const Value& pair = rts::force(rts::field(l, 0));
        out.push_back({Span{}, rts::field(pair, 0), rts::field(pair, 1)});
        Value next = rts::force(rts::field(l, 1));
        l = std::move(next);
    }
    return out;
}

// The spans of the nodes of a forest, in order, and their subforests.
struct Level {
    std::vector<Span> spans;
    std::vector<Value> subforests;
};
Level levelOf(const Value& forest) {
    Level out;
    for (const Value& tree : VUX::Internal::List::toValues(forest)) {
        out.spans.push_back(Util::spanOf(rts::field(rts::force(Data::Tree::rootLabel(tree)), 0)));
        out.subforests.push_back(Data::Tree::subForest(tree));
    }
    return out;
}

bool siblingsApart(const std::vector<Span>& spans) {
    for (size_t i = 0; i < spans.size(); ++i)
        for (size_t j = i + 1; j < spans.size(); ++j)
            if (Util::inside(spans[i], spans[j]) || Util::inside(spans[j], spans[i])) return false;
    return true;
}
}  // namespace

bool isGoodForest(const Value& forest) {
    VUX_FUNCTION;
    rts::stack_check();
    Level level = levelOf(forest);
    for (size_t i = 0; i < level.spans.size(); ++i) {
        Level children = levelOf(level.subforests[i]);
        for (const Span& c : children.spans)
            if (!Util::inside(c, level.spans[i])) return false;
        for (const Span& c : children.spans)
            if (sameSpan(c, level.spans[i])) return false;
        if (!isGoodForest(level.subforests[i])) return false;
    }
    return siblingsApart(level.spans);
}

Value createMixEntryDom(const Value& entries) {
    VUX_FUNCTION;
    std::vector<Entry> all = entriesOf(entries);
    Forest forest;
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        it->span = Util::spanOf(it->spanValue);
        addNodeToList(*it, forest);
    }
    Value result = forestValue(forest);
    if (!isGoodForest(result))
        errorAt(VUX::Internal::List::fromBytes("createMixEntryDom: bad forest"), 198, 19, 24);
    return result;
}

}  // namespace Trace::Cover::Mix

// ---------------------------------------------------------------------------------------------
// Module-information files

namespace Trace::Cover::Mix {

namespace {
bool equalBy(const Value& dEq, const Value& x, const Value& y) {
    return VUX::Types::isTrue(rts::force(rts::apply(VUX::Classes::op_eq_eq(dEq), x, y)));
}

bool equalEntries(const Value& xs, const Value& ys) {
    Value a = rts::force(xs);
    Value b = rts::force(ys);
    while (a->tag == VUX::Types::Cons_tag && b->tag == VUX::Types::Cons_tag) {
        const Value& x = rts::force(rts::field(a, 0));
        const Value& y = rts::force(rts::field(b, 0));
        if (!equalBy(Util::inst_Eq_CoverPos(), rts::field(x, 0), rts::field(y, 0)) ||
            !equalBy(inst_Eq_BoxLabel(), rts::field(x, 1), rts::field(y, 1)))
            return false;
        Value nextA = rts::force(rts::field(a, 1));
        Value nextB = rts::force(rts::field(b, 1));
        a = std::move(nextA);
        b = std::move(nextB);
    }
    return a->tag == b->tag;
}

bool equalMix(const Value& x, const Value& y) {
    const Value& a = rts::force(x);
    const Value& b = rts::force(y);
    return equalBy(VUX::Classes::inst_Eq_List_Char(), rts::field(a, 0), rts::field(b, 0)) &&
           equalBy(Data::Time::Clock::inst_Eq_UTCTime(), rts::field(a, 1), rts::field(b, 1)) &&
           Util::hashWord(rts::field(a, 2)) == Util::hashWord(rts::field(b, 2)) &&
           VUX::Types::intOf(rts::force(rts::field(a, 3))) ==
               VUX::Types::intOf(rts::force(rts::field(b, 3))) &&
           equalEntries(rts::field(a, 4), rts::field(b, 4));
}

Value eqMix(const Value& x, const Value& y) { return VUX::Types::fromBool(equalMix(x, y)); }
Value neMix(const Value& x, const Value& y) { return VUX::Types::fromBool(!equalMix(x, y)); }
}  // namespace

constinit const VUX::Record::Static<VUX::Classes::C_Eq_class> inst_Eq_Mix_closure{VUX::Record::fn<&eqMix>,
                                                                                  VUX::Record::fn<&neMix>};

VUX_DERIVE_TEXT_FORMS(
    Mix, {"Mix",
          {Derived::String(),
           Derived::Forms{Data::Time::Format::inst_Show_UTCTime(), Data::Time::Format::inst_Read_UTCTime()},
           Derived::Forms{Util::inst_Show_Hash(), Util::inst_Read_Hash()}, Derived::Int(),
           Derived::listOf(Derived::tupleOf(
               {Derived::Forms{Util::inst_Show_CoverPos(), Util::inst_Read_CoverPos()}, forms_BoxLabel()}))}})

VUX_DEFINE_TYCON(tcMix, trModule, "Mix", 0, kindType);

using Path = System::FilePath::Posix::Ops;
using VUX::Internal::IO::io;
using VUX::Internal::IO::runIO;
using VUX::Internal::List::fromBytes;
using VUX::Internal::List::prependBytes;

Value mixName(const Value& dir, const Value& moduleName) {
    return Path::combine(dir, Path::addExtension(moduleName, fromBytes("mix")));
}

Value mixCreate(Value dir, Value moduleName, Value mix) {
    VUX_FUNCTION;
    return io([dir = std::move(dir), moduleName = std::move(moduleName), mix = std::move(mix)] {
        Value text = VUX::Internal::Show::show(inst_Show_Mix(), mix);
        Value write = rts::fun<1>([text](const Value& h) { return System::IO::hPutStr(h, text); });
        return runIO(
            System::IO::withFile(mixName(dir, moduleName), System::IO::WriteMode(), std::move(write)));
    });
}

namespace {
using VUX::Internal::List::toUtf8;

// The one complete parse of a file's text; anything else is "can not parse <path>".
Value parseMix(const Value& text, const Value& path) {
    const Value& parsed = rts::force(VUX::Internal::Read::readEither(inst_Read_Mix(), text));
    if (parsed->tag != Data::Either::Right_tag) errorAt(prependBytes("can not parse ", path), 94, 43, 48);
    return rts::field(parsed, 0);
}

// The parsed record of a file, which must carry the hash of the tick-count module.
Value checkHash(const Value& text, const Value& path, const Value& tixModule) {
    Value mix = parseMix(text, path);
    uint32_t tixHash = Util::hashWord(Tix::tixModuleHash(tixModule));
    uint32_t mixHash = Util::hashWord(rts::field(rts::force(mix), 2));
    if (tixHash == mixHash) return mix;
    std::string message = "hash in tix file for module " + toUtf8(Tix::tixModuleName(tixModule)) + " (" +
                          std::to_string(tixHash) + ")\ndoes not match hash in " + toUtf8(path) + " (" +
                          std::to_string(mixHash) + ")";
    errorAt(VUX::Internal::List::fromUtf8(message), 120, 17, 22);
}

std::string joinDirectories(const std::vector<Value>& dirs) {
    std::string joined;
    for (size_t i = 0; i < dirs.size(); ++i) joined += (i ? ", " : "") + toUtf8(dirs[i]);
    return joined;
}

// The find of one directory: Just the record (unevaluated: for a name request its parse, for a
// TixModule its checked parse), or Nothing when the file cannot be read.
Value findIn(const Value& dir, const Value& moduleName, const Value& request) {
    Value look = io([dir, moduleName, request] {
        Value path = mixName(dir, moduleName);
        Value text = runIO(Util::readFileUtf8(path));
        const Value& r = rts::force(request);
        Value tixModule = r->tag == Data::Either::Right_tag ? rts::field(r, 0) : Value();
        if (!tixModule)
            return VUX::Internal::Maybe::Just(rts::delay([text, path] { return parseMix(text, path); }));
        return VUX::Internal::Maybe::Just(
            rts::delay([text, path, tixModule] { return checkHash(text, path, tixModule); }));
    });
    Value absent =
        rts::fun<1>([](const Value&) { return io([] { return VUX::Internal::Maybe::Nothing(); }); });
    return runIO(Util::catchIO(std::move(look), std::move(absent)));
}
}  // namespace

Value readMix(Value dirs, Value request) {
    VUX_FUNCTION;
    return io([dirs = std::move(dirs), request = std::move(request)] {
        Value moduleName = rts::delay([request] {
            const Value& r = rts::force(request);
            return r->tag == Data::Either::Left_tag ? Value(rts::field(r, 0))
                                                    : Tix::tixModuleName(rts::field(r, 0));
        });
        bool checked = rts::force(request)->tag == Data::Either::Right_tag;
        std::vector<Value> directories = VUX::Internal::List::toValues(dirs);
        std::vector<Value> finds;
        for (const Value& dir : directories) {
            const Value& found = rts::force(findIn(dir, moduleName, request));
            if (found->tag == VUX::Internal::Maybe::Just_tag) finds.push_back(rts::field(found, 0));
        }
        std::shared_ptr<const std::vector<Value>> shared =
            std::make_shared<const std::vector<Value>>(std::move(finds));
        const std::vector<Value>& all = *shared;
        // Collecting a checked find performs its check.
        auto collect = [checked, &all](size_t i) {
            if (checked) rts::force(all[i]);
        };
        if (all.empty())
            errorAt(VUX::Internal::List::fromUtf8("can not find " + toUtf8(moduleName) + " in " +
                                                  joinDirectories(directories)),
                    110, 15, 20);
        collect(0);
        for (size_t i = 1; i < all.size(); ++i) {
            collect(i);
            rts::force(all[i]);
            rts::force(all[0]);
            if (equalMix(all[i], all[0])) continue;
            // The count collects the finds not yet reached, so it is built when the message is read.
            Value rest = rts::delay([shared, checked, i, moduleName, directories] {
                if (checked)
                    for (size_t j = i + 1; j < shared->size(); ++j) rts::force((*shared)[j]);
                return VUX::Internal::List::fromUtf8(std::to_string(shared->size()) +
                                                     " different instances of " + toUtf8(moduleName) +
                                                     " in " + joinDirectories(directories));
            });
            errorAt(prependBytes("found ", std::move(rest)), 107, 15, 20);
        }
        return all[0];
    });
}

}  // namespace Trace::Cover::Mix
