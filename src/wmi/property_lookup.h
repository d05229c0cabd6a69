#pragma once

#include "platform/windows_api.h"

// The WMI class a lookup queries.
enum WmiClassKind : int { BaseBoard = 0, Bios = 1, ComputerSystem = 2 };

// A property's text and its terminating NUL: at most 259 units of text.
struct PropertyText {
  WCHAR units[260];
};

// Reads the string property `propertyName` of the first instance of `kind`'s class into `out`
// (zero-filled by the caller). True when `out` holds the text; false for a missing instance,
// a value that is not a string, or any failure. A broken connection is reopened once.
bool queryWmiProperty(WmiClassKind kind, const WCHAR* propertyName, PropertyText* out);
