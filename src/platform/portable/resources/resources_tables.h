// The tables the resource generator writes (resources_generated.cpp in the
// build directory). Only resources.cpp reads them directly.
#ifndef ORVIXFAX_PORTABLE_RESOURCES_TABLES_H
#define ORVIXFAX_PORTABLE_RESOURCES_TABLES_H

#include "platform/portable/resources/resources.h"

namespace portable::generated {
extern const DialogTemplate dialogs[];
extern const int dialogCount;
extern const StringResource strings[];
extern const int stringCount;
extern const int icons[];
extern const int iconCount;
}  // namespace portable::generated

#endif
