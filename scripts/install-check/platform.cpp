// A consumer of the installed vux-platform: the target-triple tokens of a target and its text form.
#include <cstdio>
#include <string>

#include "VUX/Internal/Show.h"
#include "VUX/Platform/ArchOS.h"

using namespace VUX::Platform::ArchOS;

namespace {
std::string text(const rts::Value& chars) {
    std::string s;
    for (rts::Value cell = chars; rts::force(cell)->tag == VUX::Types::Cons_tag;) {
        s += static_cast<char>(rts::word(rts::force(rts::field(rts::force(cell), 0)), 0));
        rts::Value next = rts::field(rts::force(cell), 1);
        cell = next;
    }
    return s;
}
}  // namespace

int main() {
    rts::Value target = ArchOS(ArchX86_64(), OSLinux());
    std::string triple =
        text(stringEncodeArch(archOS_arch(target))) + "-" + text(stringEncodeOS(archOS_OS(target)));
    std::string shown = text(VUX::Internal::Show::show(inst_Show_ArchOS(), target));
    std::printf("consumer of vux-platform: %s, %s\n", triple.c_str(), shown.c_str());
    return triple == "x86_64-linux" && shown == "ArchOS {archOS_arch = ArchX86_64, archOS_OS = OSLinux}" ? 0
                                                                                                         : 1;
}
