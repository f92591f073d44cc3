// Module Text.PrettyPrint: the plain document library under its short name.
#pragma once

#include "Text/PrettyPrint/Drovane.h"

namespace Text::PrettyPrint {
using namespace Text::PrettyPrint::Drovane;
}  // namespace Text::PrettyPrint
