// A consumer of the installed vux-boot-th: a compiler-generated name printed with its number.
#include <cstdio>
#include <string>

#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/TH/Syntax.h"

namespace S = VUX::Internal::TH::Syntax;
namespace Ppr = VUX::Boot::TH::Ppr;

int main() {
    std::string text = VUX::Internal::List::toUtf8(Ppr::pprint(Ppr::inst_Ppr_Name(), S::mkName("consumer")));
    std::printf("consumer of vux-boot-th: %s\n", text.c_str());
    return text == "consumer" ? 0 : 1;
}
