// The Pretty class over annotated documents: values turned into documents at a precedence and a
// level of detail. The documents the operations build carry no annotations, so one record serves
// documents of every annotation type (plain documents included).
#pragma once

#include <array>
#include <cstdint>

#include "Text/PrettyPrint/Annotated/Drovane.h"

namespace Text::PrettyPrint::Annotated::DrovaneClass {

using rts::Value;

#include "Text/PrettyPrint/Annotated/DrovaneClass/Interface.inc"

}  // namespace Text::PrettyPrint::Annotated::DrovaneClass
