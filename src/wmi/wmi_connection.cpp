#include "wmi/wmi_connection.h"

#include <mutex>

namespace {

std::mutex slotMutex;
IWbemServices* slot = nullptr;  // owns one reference when set

// {4590F811-1D3A-11D0-891F-00AA004B2E24}
constexpr GUID kWbemLocatorClass = {0x4590F811, 0x1D3A, 0x11D0, {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
// {DC12A687-737F-11CF-884D-00AA004B2E24}
constexpr GUID kWbemLocatorInterface = {0xDC12A687, 0x737F, 0x11CF, {0x88, 0x4D, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
// {0000013D-0000-0000-C000-000000000046}
constexpr GUID kClientSecurityInterface = {0x0000013D, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

}  // namespace

ComRef<IWbemServices> WmiConnection::acquire() {
  std::lock_guard<std::mutex> lock(slotMutex);
  if (slot != nullptr) slot->AddRef();
  return ComRef<IWbemServices>(slot);
}

bool WmiConnection::isEmpty() {
  std::lock_guard<std::mutex> lock(slotMutex);
  return slot == nullptr;
}

void WmiConnection::replace(ComRef<IWbemServices> handle) {
  ComRef<IWbemServices> replaced;
  {
    std::lock_guard<std::mutex> lock(slotMutex);
    replaced.reset(slot);
    slot = handle.get();
    if (slot != nullptr) slot->AddRef();
  }
}

bool connectWmi() {
  ComRef<IWbemLocator> locator;
  // Anything but S_OK, positive codes included, is a failure here, and the slot is untouched.
  if (CoCreateInstance(kWbemLocatorClass, nullptr, CLSCTX_INPROC_SERVER, kWbemLocatorInterface,
                       locator.putVoid()) != S_OK) {
    return false;
  }

  ComRef<IWbemServices> service;
  {
    Bstr wmiNamespace(WIDE("root\\cimv2"));
    if (!wmiNamespace) return false;
    // No security flags: the call waits until the connection is made or refused.
    const HRESULT connected = locator->ConnectServer(wmiNamespace.get(), nullptr, nullptr, nullptr, 0, nullptr,
                                                     nullptr, service.put());
    // The result takes the slot: nothing after a failure code, the handle after any success code.
    if (FAILED(connected)) service.reset();
    WmiConnection::replace(service.share());
    if (connected != S_OK) return false;
  }

  ComRef<IClientSecurity> security;
  if (FAILED(service->QueryInterface(kClientSecurityInterface, security.putVoid()))) return false;
  return SUCCEEDED(security->SetBlanket(service.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                                        RPC_C_AUTHN_LEVEL_CONNECT, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE));
}
