// The Pretty class over plain documents: values turned into documents at a precedence and a level
// of detail. Its records, levels and constant documents are this module's own.
#pragma once

#include <array>
#include <cstdint>

#include "Text/PrettyPrint/Drovane.h"

namespace Text::PrettyPrint::DrovaneClass {

using rts::Value;

#include "Text/PrettyPrint/Annotated/DrovaneClass/Interface.inc"

}  // namespace Text::PrettyPrint::DrovaneClass
