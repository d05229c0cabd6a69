#include "sim_com.h"

#include <cstring>
#include <thread>

#include "sim_wmi.h"

namespace sim {

namespace {

enum class Apartment { None, MultiThreaded, SingleThreaded };

struct ThreadCom {
  Apartment apartment = Apartment::None;
  unsigned depth = 0;  // initialisations in force
  unsigned ownByApplication = 0;  // of them, the application's own (not in the ledger)
};

thread_local ThreadCom threadCom;

std::uintptr_t threadId() { return std::hash<std::thread::id>{}(std::this_thread::get_id()); }

}  // namespace

void enterSingleThreadedApartment() {
  threadCom.apartment = Apartment::SingleThreaded;
  ++threadCom.depth;
  ++threadCom.ownByApplication;
}

void leaveApartment() { threadCom = ThreadCom{}; }

unsigned apartmentDepth() { return threadCom.depth; }

}  // namespace sim

using sim::Machine;

HRESULT CoInitializeEx(void* reserved, DWORD coInit) {
  if (auto fault = Machine::get().enterCall("CoInitializeEx")) return static_cast<HRESULT>(*fault);
  if (reserved != nullptr) return E_INVALIDARG;
  auto& com = sim::threadCom;
  const auto wanted =
      coInit == COINIT_MULTITHREADED ? sim::Apartment::MultiThreaded : sim::Apartment::SingleThreaded;
  if (com.apartment != sim::Apartment::None && com.apartment != wanted) return RPC_E_CHANGED_MODE;
  const HRESULT result = com.apartment == sim::Apartment::None ? S_OK : S_FALSE;
  com.apartment = wanted;
  ++com.depth;
  Machine::get().acquire(sim::Resource::ComInitialisation, sim::threadId());
  return result;
}

void CoUninitialize() {
  Machine::get().enterCall("CoUninitialize");
  auto& com = sim::threadCom;
  // Gives back one of the library's initialisations. With none in force, the ledger records
  // the release of what was not held: it undid the application's own, or nothing at all.
  Machine::get().release(sim::Resource::ComInitialisation, sim::threadId());
  if (com.depth == 0) return;
  if (com.depth == com.ownByApplication) --com.ownByApplication;
  if (--com.depth == 0) com.apartment = sim::Apartment::None;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  auto fault = Machine::get().enterCall("CoCreateInstance");
  if (fault && FAILED(static_cast<HRESULT>(*fault))) return static_cast<HRESULT>(*fault);
  if (sim::threadCom.apartment == sim::Apartment::None) return CO_E_NOTINITIALIZED;
  const HRESULT created = sim::wmi().createLocator(clsid, outer, context, iid, object);
  // An injected success code other than S_OK still hands out the object.
  return fault && SUCCEEDED(created) ? static_cast<HRESULT>(*fault) : created;
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  if (Machine::get().enterCall("SysAllocString")) return nullptr;
  return sim::allocateBstr(text, length);
}

BSTR sim::allocateBstr(const OLECHAR* text, UINT length) {
  // The length prefix in bytes, the units, and a terminator, as COM lays a BSTR out.
  auto* block = new char[sizeof(std::uint32_t) + (length + 1) * sizeof(OLECHAR)];
  const std::uint32_t bytes = length * sizeof(OLECHAR);
  std::memcpy(block, &bytes, sizeof(bytes));
  auto* units = reinterpret_cast<OLECHAR*>(block + sizeof(std::uint32_t));
  if (text != nullptr && length > 0) std::memcpy(units, text, length * sizeof(OLECHAR));
  units[length] = 0;
  Machine::get().acquire(sim::Resource::Bstr, sim::idOf(units));
  return units;
}

BSTR SysAllocString(const OLECHAR* text) {
  if (text == nullptr) return nullptr;
  UINT length = 0;
  while (text[length] != 0) ++length;
  return SysAllocStringLen(text, length);
}

void SysFreeString(BSTR text) {
  Machine::get().enterCall("SysFreeString");
  if (text == nullptr) return;
  if (!Machine::get().release(sim::Resource::Bstr, sim::idOf(text))) return;  // not ours to free
  delete[] (reinterpret_cast<char*>(text) - sizeof(std::uint32_t));
}

void VariantInit(VARIANT* value) {
  Machine::get().enterCall("VariantInit");
  value->vt = VT_EMPTY;
  value->wReserved1 = value->wReserved2 = value->wReserved3 = 0;
  value->bstrVal = nullptr;
}

HRESULT VariantClear(VARIANT* value) {
  Machine::get().enterCall("VariantClear");
  if (value->vt == VT_BSTR) SysFreeString(value->bstrVal);
  value->vt = VT_EMPTY;
  value->bstrVal = nullptr;
  return S_OK;
}
