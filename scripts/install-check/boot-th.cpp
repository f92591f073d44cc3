// A consumer of the installed vux-boot-th: a qualified name printed.
#include <cstdio>
#include <string>

#include "VUX/Boot/TH/Ppr.h"
#include "VUX/Internal/List.h"
#include "VUX/Internal/TH/Syntax.h"

int main() {
    namespace S = VUX::Internal::TH::Syntax;
    namespace P = VUX::Boot::TH::Ppr;
    std::string text =
        VUX::Internal::List::toUtf8(P::pprint(P::inst_Ppr_Name(), S::mkNameQ("Data.List", "sortOn")));
    std::printf("consumer of vux-boot-th: %s\n", text.c_str());
    return text == "Data.List.sortOn" ? 0 : 1;
}
