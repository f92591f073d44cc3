// placeholder
#include "VUX/Boot/TH/Ppr.h"
