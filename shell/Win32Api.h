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
