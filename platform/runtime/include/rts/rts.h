// The runtime: the object model, evaluation, exceptions, stacks and mutable objects.
#pragma once

#include "rts/Bytes.h"
#include "rts/Eval.h"
#include "rts/Exception.h"
#include "rts/Object.h"
#include "rts/Stack.h"
