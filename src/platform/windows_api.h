// The one header through which the library reaches Windows.
//
// On Windows it is the SDK's own headers. On the host it is the project's declarations of
// the subset the library calls, implemented by the simulated machine that the tests own,
// so that every native compiles to the same calls in both builds.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <setupapi.h>
#include <wbemidl.h>
// A wide (UTF-16) literal: wchar_t is 16-bit on Windows.
#define WIDE(s) L##s
#else
#include "platform/host/host_windows.h"
// A wide (UTF-16) literal: the host's wchar_t is 32-bit, so UTF-16 text is char16_t there.
#define WIDE(s) u##s
#endif

static_assert(sizeof(WCHAR) == 2, "library text is UTF-16 code units");
