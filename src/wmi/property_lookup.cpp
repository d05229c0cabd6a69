#include "wmi/property_lookup.h"

#include "wmi/com_owners.h"
#include "wmi/wmi_connection.h"

namespace {

const WCHAR* queryFor(WmiClassKind kind) {
  switch (kind) {
    case BaseBoard: return WIDE("Select * from Win32_BaseBoard");
    case Bios: return WIDE("Select * from Win32_BIOS");
    case ComputerSystem: return WIDE("Select * from Win32_ComputerSystem");
  }
  return nullptr;
}

// Runs `query` on the handle now in the slot; the results arrive complete, in an enumerator
// that can be reset.
HRESULT runQuery(const WCHAR* query, ComRef<IEnumWbemClassObject>& results) {
  ComRef<IWbemServices> service = WmiConnection::acquire();
  if (!service) return E_POINTER;  // closed by another thread meanwhile
  Bstr language(WIDE("WQL"));
  Bstr text(query);
  if (!language || !text) return E_OUTOFMEMORY;
  return service->ExecQuery(language.get(), text.get(), 0, nullptr, results.put());
}

// The string's units up to its first NUL, cut to what fits with a terminator. A null BSTR
// is COM's empty string.
void copyText(const WCHAR* text, PropertyText* out) {
  constexpr std::size_t kMaxUnits = sizeof(out->units) / sizeof(WCHAR) - 1;
  std::size_t count = 0;
  if (text != nullptr) {
    for (; count < kMaxUnits && text[count] != 0; ++count) out->units[count] = text[count];
  }
  out->units[count] = 0;
}

bool readStringProperty(IWbemClassObject* instance, const WCHAR* propertyName, PropertyText* out) {
  VARIANT value{};
  VariantInit(&value);
  const HRESULT read = instance->Get(propertyName, 0, &value, nullptr, nullptr);
  const bool isString = SUCCEEDED(read) && value.vt == VT_BSTR;
  if (isString) copyText(value.bstrVal, out);
  VariantClear(&value);
  return isString;
}

}  // namespace

bool queryWmiProperty(WmiClassKind kind, const WCHAR* propertyName, PropertyText* out) {
  if (propertyName == nullptr || out == nullptr) return false;
  ComApartment apartment;  // declared first: undone last, on every path
  const WCHAR* query = queryFor(kind);
  if (query == nullptr) return false;

  ComRef<IEnumWbemClassObject> results;
  HRESULT ran = runQuery(query, results);
  // A broken connection is reopened once, and the query run once more on the new handle.
  if (ran == RPC_E_DISCONNECTED && connectWmi()) ran = runQuery(query, results);
  if (FAILED(ran)) return false;

  if (FAILED(results->Reset())) return false;
  ComRef<IWbemClassObject> first;
  ULONG returned = 0;
  // Only the first instance is looked at; an empty result set returns none.
  const HRESULT next = results->Next(static_cast<LONG>(WBEM_INFINITE), 1, first.put(), &returned);
  if (FAILED(next) || returned == 0 || !first) return false;
  return readStringProperty(first.get(), propertyName, out);
}
