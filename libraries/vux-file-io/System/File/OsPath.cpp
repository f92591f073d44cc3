// Re-exports only; the module is registered for the profiler.
#include "System/File/OsPath.h"

#include "rts/Profiling.h"

VUX_MODULE("System.File.OsPath");
