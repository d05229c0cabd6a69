#pragma once

#include <memory>
#include <vector>

#include "platform/windows_api.h"

// One device's "hardwareId=driverVersion" text, exactly as long as it needs to be.
using DriverEntry = std::unique_ptr<WCHAR[]>;

// Walks every present device of every class and collects, in enumeration order, an entry for
// each one with a driver installed. False, with `entries` left empty, when the device list
// cannot be had at all or memory runs out; a device whose own data cannot be read is left out.
bool collectDriverEntries(std::vector<DriverEntry>& entries);
