// The portable layer reaching for the module's resources.
#include "platform/portable/windows.h"
#include "res/resource.h"
