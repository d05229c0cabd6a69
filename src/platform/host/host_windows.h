// Host declarations of the Windows subset that the library uses. Written from what the
// library needs; the definitions live in the simulated machine beside the tests.
#pragma once

#include <cstdint>

using WCHAR = char16_t;
using BOOL = int;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using HRESULT = std::int32_t;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
