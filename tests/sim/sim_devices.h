// The simulated Setup API: a list of present devices, each with the registry properties the
// library reads (its hardware-ID list and its driver key), answered as Windows answers them.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/windows_api.h"

namespace sim {

struct Device {
  std::optional<std::u16string> hardwareIds;  // the stored REG_MULTI_SZ units, NULs included
  std::optional<std::u16string> driverKey;    // the stored REG_SZ units, terminator included
};

// The REG_MULTI_SZ units of a hardware-ID list: each ID ended by a NUL, and one more NUL.
std::u16string multiString(const std::vector<std::u16string>& ids);

class Devices {
 public:
  void reset();
  // Forgets the requests recorded; the devices and open lists stay.
  void forgetRequests();
  void add(const Device& device);
  // A device with a driver installed: `ids` as its hardware IDs, the driver key
  // "{class}\NNNN" numbered from the device's position, and "DriverVersion" in that key.
  void addWithDriver(const std::vector<std::u16string>& ids, const std::u16string& version);

  struct ListRequest {
    bool classGuid, enumerator, parent;
    DWORD flags;
  };
  std::vector<ListRequest> listRequests() const;
  std::vector<DWORD> offeredBufferSizes(DWORD property) const;

  HDEVINFO getClassDevs(const GUID* classGuid, const WCHAR* enumerator, HWND parent, DWORD flags);
  BOOL enumerate(HDEVINFO list, DWORD index, SP_DEVINFO_DATA* device);
  BOOL property(HDEVINFO list, SP_DEVINFO_DATA* device, DWORD property, DWORD* type, BYTE* buffer, DWORD size,
                DWORD* required);
  BOOL destroy(HDEVINFO list);

 private:
  mutable std::mutex mutex_;
  std::vector<Device> devices_;
  std::map<HDEVINFO, std::vector<Device>> lists_;  // each list is a snapshot of the devices
  std::vector<ListRequest> listRequests_;
  std::map<DWORD, std::vector<DWORD>> offered_;
  unsigned nextHandle_ = 1;
};

Devices& devices();

}  // namespace sim
