// The process-wide connection to WMI's root\cimv2: one slot holding the service handle,
// shared by every thread. Lookups take a reference of their own under a short lock and use
// it outside the lock, so a handle is never released while another thread still uses it.
#pragma once

#include "platform/windows_api.h"
#include "wmi/com_owners.h"

class WmiConnection {
 public:
  // A reference of the caller's own to the handle in the slot; empty when the slot is.
  static ComRef<IWbemServices> acquire();
  static bool isEmpty();
  // Puts `handle` (or nothing) in the slot; the handle it replaces is released, after the lock.
  static void replace(ComRef<IWbemServices> handle);
};

// Opens the connection to root\cimv2 and sets the security of its proxy. True only when every
// step succeeded; the slot keeps a connected handle even when its security settings failed.
bool connectWmi();
