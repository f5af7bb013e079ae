// The one place that knows where the Windows API comes from.
//
// Module code calls Win32 by its own names (DialogBoxParamA, GlobalAlloc,
// _lopen, ...). On Windows they are the real ones; elsewhere the portable
// layer declares the same subset with the same names, types and values.
#ifndef ORVIXFAX_WIN32API_H
#define ORVIXFAX_WIN32API_H

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// The shell's folders (SHGetFolderPathA), left out by the lean set above.
#include <shlobj.h>
#else
#include "platform/portable/windows.h"
#endif

#endif
