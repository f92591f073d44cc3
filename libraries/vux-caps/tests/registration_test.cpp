// The profiling variant registers every module of the library at load, in the order of its files,
// each with its cost centres in source order; the plain variant registers nothing.
#include <gtest/gtest.h>

#include <algorithm>

#include "Control/Monad/RWS/Class.h"
#include "rts/Profiling.h"

namespace {

#ifdef VUX_PROFILING

namespace prof = rts::prof;

TEST(Profiling, TheModulesRegisterInOrderAtLoad) {
    const std::vector<std::string> modules = {
        "Control.Monad.Lifting",      "Control.Monad.Reader.Class", "Control.Monad.Reader",
        "Control.Monad.State.Class",  "Control.Monad.State",        "Control.Monad.State.Lazy",
        "Control.Monad.State.Strict", "Control.Monad.Writer.Class", "Control.Monad.RWS.Class",
        "Control.Monad.Error.Class",  "Control.Monad.Except",       "Control.Monad.Cont.Class",
        "Control.Monad.Cont",         "Control.Monad.Accum",        "Control.Monad.Select"};
    std::vector<prof::Registration> ours;
    for (const auto& r : prof::registrations())
        if (std::find(modules.begin(), modules.end(), r.module) != modules.end()) ours.push_back(r);
    ASSERT_EQ(ours.size(), 2 * modules.size());
    for (size_t i = 0; i < modules.size(); ++i) {
        SCOPED_TRACE(modules[i]);
        EXPECT_EQ(ours[2 * i].module, modules[i]);
        EXPECT_EQ(ours[2 * i].kind, prof::ListKind::CostCentres);
        ASSERT_FALSE(ours[2 * i].labels.empty());
        EXPECT_EQ(ours[2 * i].labels[0], "CAF");
        EXPECT_EQ(ours[2 * i + 1].kind, prof::ListKind::Stacks);
        // The constants of a module add their own stacks after the module's.
        std::vector<std::string> stacks{"CAF"};
        if (modules[i] == "Control.Monad.Error.Class") stacks.push_back("throwError");
        if (modules[i] == "Control.Monad.Select") stacks.push_back("inst_MonadSelect_SelectT");
        EXPECT_EQ(ours[2 * i + 1].labels, stacks);
    }
    for (size_t empty : {2, 4, 5, 6, 10, 12})
        EXPECT_EQ(ours[2 * empty].labels, std::vector<std::string>{"CAF"});
    EXPECT_EQ(ours[0].labels, (std::vector<std::string>{"CAF", "monadOf", "lift"}));
    EXPECT_EQ(ours[16].labels,
              (std::vector<std::string>{"CAF", "inst_MonadRWS_RWST_CPS", "inst_MonadRWS_RWST_Lazy",
                                        "inst_MonadRWS_RWST_Strict", "inst_MonadRWS_ExceptT",
                                        "inst_MonadRWS_IdentityT", "inst_MonadRWS_MaybeT"}));
    const auto& state = ours[6].labels;
    for (const char* label : {"default_get", "modify", "modify'", "gets", "inst_MonadState_StateT_Lazy",
                              "inst_MonadState_AccumT"})
        EXPECT_NE(std::find(state.begin(), state.end(), label), state.end()) << label;
}

TEST(Profiling, BuildingARecordEntersItsInstance) {
    uint64_t before = prof::totals_of("Control.Monad.RWS.Class", "inst_MonadRWS_RWST_Lazy").entries;
    Control::Monad::RWS::Class::inst_MonadRWS_RWST_Lazy(VUX::Internal::Base::inst_Monoid_List(),
                                                        VUX::Internal::Base::inst_Monad_List());
    EXPECT_EQ(prof::totals_of("Control.Monad.RWS.Class", "inst_MonadRWS_RWST_Lazy").entries, before + 1);
}

#else  // the plain variant

TEST(Plain, RegistersNothing) { EXPECT_TRUE(rts::prof::registrations().empty()); }

#endif

}  // namespace
