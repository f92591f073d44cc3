// A consumer of the installed vux-boot-th: a text of the printer's document layer, rendered.
#include <cstdio>
#include <string>

#include "Text/PrettyPrint/Drovane.h"
#include "VUX/Boot/TH/PprLib.h"
#include "VUX/Internal/List.h"

int main() {
    namespace List = VUX::Internal::List;
    rts::Value doc =
        VUX::Boot::TH::PprLib::to_Drovane_Doc(VUX::Boot::TH::PprLib::text(List::fromBytes("splice")));
    std::string got = List::toUtf8(Text::PrettyPrint::Drovane::render(doc));
    std::printf("consumer of vux-boot-th: %s\n", got.c_str());
    return got == "splice" ? 0 : 1;
}
