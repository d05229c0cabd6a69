// The simulated COM runtime: apartments per thread (with the ledger holding every
// initialisation the library makes), BSTRs and VARIANTs, and the one class it can create,
// WMI's locator.
#pragma once

#include <atomic>

#include "platform/windows_api.h"
#include "sim_machine.h"

namespace sim {

// The calling thread enters a single-threaded apartment of its own, as an application
// might before calling the library: an initialisation that is not the library's.
void enterSingleThreadedApartment();
void leaveApartment();
// How many initialisations are in force on the calling thread.
unsigned apartmentDepth();

// A BSTR made by the simulated machine itself (a value WMI hands out): in the ledger, but
// neither logged as the library's call nor open to injected faults.
BSTR allocateBstr(const OLECHAR* text, UINT length);

// A reference-counted simulated COM object. Every reference handed out is in the ledger.
template <typename Interface>
class SimObject : public Interface {
 public:
  SimObject() { Machine::get().acquire(Resource::ComReference, idOf(this)); }
  ULONG AddRef() override {
    Machine::get().acquire(Resource::ComReference, idOf(this));
    return ++references_;
  }
  ULONG Release() override {
    Machine::get().release(Resource::ComReference, idOf(this));
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~SimObject() = default;

  // Hands out this object as `iid` when it is `own` or IUnknown.
  HRESULT queryInterface(REFIID iid, const GUID& own, void** object) {
    static constexpr GUID kUnknown = {0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    if (object == nullptr) return E_POINTER;
    if (iid == own || iid == kUnknown) {
      AddRef();
      *object = static_cast<Interface*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }

 private:
  std::atomic<ULONG> references_{1};
};

}  // namespace sim
