// The module's instance handle: the one value kept between calls, stored by
// the attach routine and used to load every template, string and icon.
#ifndef ORVIXFAX_MODULE_INSTANCE_H
#define ORVIXFAX_MODULE_INSTANCE_H

#include "platform/win32api.h"

HINSTANCE ModuleInstance();

// The attach routine. On Windows the loader calls it; hosts of the portable
// build call it themselves with portable::ModuleInstance().
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

#endif
