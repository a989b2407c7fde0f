#pragma once
// The one place that includes the Windows headers. Everything in this folder includes this file
// instead of <windows.h> directly, so the settings below hold everywhere.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <oleauto.h>

// <windows.h> maps these names to their A/W variants with macros, which would also rename the
// Platform methods of the same names. The code here calls the W functions by their full names.
#undef CopyFile
#undef DeleteFile
#undef WriteProfileString
