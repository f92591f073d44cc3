// A consumer of the installed deepseq: deep evaluation runs every element of a list.
#include <cstdio>

#include "Control/DeepSeq.h"
#include "VUX/Types.h"

using namespace VUX::Types;

int main() {
    int runs = 0;
    rts::Value xs = Nil();
    for (int i = 0; i < 100; ++i)
        xs = Cons(rts::delay([&runs, i] {
                      ++runs;
                      return I_hash(i);
                  }),
                  std::move(xs));
    Control::DeepSeq::rnf(Control::DeepSeq::inst_NFData_List(Control::DeepSeq::inst_NFData_Scalar()), xs);
    std::printf("consumer of deepseq: %d elements evaluated\n", runs);
    return runs == 100 ? 0 : 1;
}
