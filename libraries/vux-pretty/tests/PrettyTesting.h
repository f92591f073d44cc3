// Helpers shared by the document tests: building documents from C++ strings, rendering to
// std::string, catching error exceptions, and comparing documents node by node.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Testing.h"
#include "Text/PrettyPrint/Annotated/Drovane.h"
#include "VUX/Internal/Exception.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/Stack.h"

namespace pretty_testing {

using rts::Value;
namespace D = Text::PrettyPrint::Annotated::Drovane;

inline Value t(const std::string& s) { return D::text(vux::testing::str(s)); }
inline Value docs(std::initializer_list<Value> ds) { return vux::testing::list(std::vector<Value>(ds)); }
inline Value I(int64_t i) { return VUX::Types::I_hash(i); }

// The renderer's own text read by a walk that owns it (runs of characters read in place) and by
// one that does not (the same runs forced to cells).
inline std::pair<std::string, std::string> ownedAndShared(const std::function<Value()>& rendered) {
    std::string owned = VUX::Internal::List::toUtf8(rendered());
    Value held = rendered();
    return {std::move(owned), VUX::Internal::List::toUtf8(held)};
}

// The message and the printed call stack of the error exception raised by `f`, if it raises one.
struct ErrorCall {
    std::string message;
    std::string callStack;
};
inline std::optional<ErrorCall> errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const rts::Exception& e) {
        Value some = VUX::Internal::Exception::exceptionValue(e);
        const Value& s = rts::force(some);
        const Value& call = rts::force(VUX::Internal::Exception::someExceptionValue(s));
        return ErrorCall{vux::testing::to_string(rts::field(call, 0)),
                         vux::testing::to_string(VUX::Internal::Stack::prettyCallStack(
                             VUX::Internal::Exception::someExceptionContext(s)))};
    }
    return std::nullopt;
}

// Node-by-node comparison of two documents: constructors, flags, amounts, widths, texts. Both
// alternatives of unions are compared. Stops (as equal so far) after `budget` nodes, so that
// documents with many shared alternatives stay cheap; both sides are walked in the same order.
class DocCompare {
  public:
    explicit DocCompare(size_t budget) : budget_(budget) {}
    // An empty string when equal, otherwise the path to the first difference.
    std::string compare(const Value& a, const Value& b) {
        std::vector<std::pair<Value, Value>> work{{a, b}};
        while (!work.empty() && budget_ > 0) {
            --budget_;
            auto [x, y] = std::move(work.back());
            work.pop_back();
            const Value& xv = rts::force(x);
            const Value& yv = rts::force(y);
            if (xv->tag != yv->tag) return "constructor " + std::to_string(xv->tag) + " vs " + std::to_string(yv->tag);
            switch (xv->tag) {
                case D::NilAbove_tag: work.push_back({rts::field(xv, 0), rts::field(yv, 0)}); break;
                case D::TextBeside_tag: {
                    std::string e = element(rts::field(xv, 0), rts::field(yv, 0));
                    if (!e.empty()) return e;
                    work.push_back({rts::field(xv, 1), rts::field(yv, 1)});
                    break;
                }
                case D::Nest_tag:
                    if (D::nestAmount(xv) != D::nestAmount(yv)) return "nest amount";
                    work.push_back({rts::field(xv, 0), rts::field(yv, 0)});
                    break;
                case D::Union_tag:
                    work.push_back({rts::field(xv, 1), rts::field(yv, 1)});
                    work.push_back({rts::field(xv, 0), rts::field(yv, 0)});
                    break;
                case D::Beside_tag:
                case D::Above_tag:
                    if (rts::force(rts::field(xv, 1))->tag != rts::force(rts::field(yv, 1))->tag) return "flag";
                    work.push_back({rts::field(xv, 2), rts::field(yv, 2)});
                    work.push_back({rts::field(xv, 0), rts::field(yv, 0)});
                    break;
                default: break;
            }
        }
        return "";
    }

  private:
    static std::string element(const Value& x, const Value& y) {
        if (x->tag != y->tag) return "element constructor";
        if (x->tag != D::NoAnnot_tag) return "";
        if (rts::word(x, 0) != rts::word(y, 0)) return "element width";
        const Value& tx = rts::force(rts::field(x, 0));
        const Value& ty = rts::force(rts::field(y, 0));
        if (tx->tag != ty->tag) return "text details constructor";
        if (tx->tag == D::Chr_tag) return rts::word(tx, 0) == rts::word(ty, 0) ? "" : "character";
        return vux::testing::to_string(rts::field(tx, 0)) == vux::testing::to_string(rts::field(ty, 0)) ? "" : "string";
    }
    size_t budget_;
};

}  // namespace pretty_testing
