#include "sim_wmi.h"

#include <optional>

#include "sim_com.h"
#include "sim_machine.h"
#include "sim_text.h"

namespace sim {

namespace {

constexpr GUID kWbemLocatorClass = {0x4590F811, 0x1D3A, 0x11D0, {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
constexpr GUID kWbemLocatorInterface = {0xDC12A687, 0x737F, 0x11CF, {0x88, 0x4D, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
constexpr GUID kClientSecurityInterface = {0x0000013D, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kNoOtherInterface = {0xFFFFFFFF, 0xFFFF, 0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);

// The result of an injected fault, or nothing.
std::optional<HRESULT> injected(const char* operation) {
  if (auto fault = Machine::get().enterCall(operation)) return static_cast<HRESULT>(*fault);
  return std::nullopt;
}

class ClassObject final : public SimObject<IWbemClassObject> {
 public:
  explicit ClassObject(WmiInstance instance) : instance_(std::move(instance)) {}
  HRESULT QueryInterface(REFIID iid, void** object) override { return queryInterface(iid, kNoOtherInterface, object); }

  HRESULT Get(const WCHAR* name, LONG, VARIANT* value, CIMTYPE*, LONG*) override {
    if (auto fault = injected("Get")) return *fault;
    if (name == nullptr || value == nullptr) return WBEM_E_INVALID_PARAMETER;
    auto found = instance_.find(foldCase(textOf(name)));
    if (found == instance_.end()) return WBEM_E_NOT_FOUND;
    const WmiValue& v = found->second;
    switch (v.kind) {
      case WmiValue::Kind::Text:
        value->vt = VT_BSTR;
        value->bstrVal = allocateBstr(v.text.data(), static_cast<UINT>(v.text.size()));
        break;
      case WmiValue::Kind::NullBstr:
        value->vt = VT_BSTR;
        value->bstrVal = nullptr;
        break;
      case WmiValue::Kind::Null:
        value->vt = VT_NULL;
        break;
      case WmiValue::Kind::Number:
        value->vt = VT_I4;
        value->lVal = v.number;
        break;
    }
    return S_OK;
  }

 private:
  WmiInstance instance_;
};

class Enumerator final : public SimObject<IEnumWbemClassObject> {
 public:
  explicit Enumerator(std::vector<WmiInstance> instances) : instances_(std::move(instances)) {}
  HRESULT QueryInterface(REFIID iid, void** object) override { return queryInterface(iid, kNoOtherInterface, object); }

  HRESULT Reset() override {
    if (auto fault = injected("Reset")) return *fault;
    position_ = 0;
    return S_OK;
  }

  HRESULT Next(LONG timeout, ULONG count, IWbemClassObject** objects, ULONG* returned) override {
    if (auto fault = injected("Next")) return *fault;
    wmi().recordNext(timeout);
    if (objects == nullptr || returned == nullptr || count != 1) return WBEM_E_INVALID_PARAMETER;
    if (position_ >= instances_.size()) {
      *returned = 0;
      return WBEM_S_FALSE;
    }
    objects[0] = new ClassObject(instances_[position_++]);
    *returned = 1;
    return S_OK;
  }

 private:
  std::vector<WmiInstance> instances_;
  std::size_t position_ = 0;
};

class ClientSecurity final : public SimObject<IClientSecurity> {
 public:
  explicit ClientSecurity(IWbemServices* service) : service_(service) {}
  HRESULT QueryInterface(REFIID iid, void** object) override {
    return queryInterface(iid, kClientSecurityInterface, object);
  }
  HRESULT SetBlanket(IUnknown* proxy, DWORD authn, DWORD authz, OLECHAR* principal, DWORD level, DWORD impersonation,
                     void* authInfo, DWORD capabilities) override {
    if (auto fault = injected("SetBlanket")) return *fault;
    return wmi().setBlanket({proxy == service_, authn, authz, principal != nullptr, level, impersonation,
                             authInfo != nullptr, capabilities});
  }

 private:
  IUnknown* service_;
};

class Services final : public SimObject<IWbemServices> {
 public:
  explicit Services(unsigned connection) : connection_(connection) {}
  ~Services() override { wmi().connectionReleased(); }

  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (auto fault = injected("QueryInterface")) {
      if (object != nullptr) *object = nullptr;
      return *fault;
    }
    if (object != nullptr && iid == kClientSecurityInterface) {
      *object = static_cast<IClientSecurity*>(new ClientSecurity(this));
      return S_OK;
    }
    return queryInterface(iid, kNoOtherInterface, object);
  }

  HRESULT ExecQuery(const BSTR language, const BSTR query, LONG flags, IWbemContext* context,
                    IEnumWbemClassObject** results) override {
    if (results != nullptr) *results = nullptr;
    if (auto fault = injected("ExecQuery")) return *fault;
    if (results == nullptr) return WBEM_E_INVALID_PARAMETER;
    return wmi().query({textOf(language), textOf(query), flags, context != nullptr, connection_}, results);
  }

 private:
  unsigned connection_;
};

class Locator final : public SimObject<IWbemLocator> {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override { return queryInterface(iid, kWbemLocatorInterface, object); }

  HRESULT ConnectServer(const BSTR resource, const BSTR user, const BSTR password, const BSTR locale, LONG flags,
                        const BSTR authority, IWbemContext* context, IWbemServices** services) override {
    if (services == nullptr) return WBEM_E_INVALID_PARAMETER;
    *services = nullptr;
    auto fault = injected("ConnectServer");
    if (fault && FAILED(*fault)) return *fault;
    const HRESULT connected =
        wmi().connect({textOf(resource), user != nullptr, password != nullptr, locale != nullptr,
                       authority != nullptr, context != nullptr, flags},
                      services);
    // An injected success code other than S_OK still hands out the handle.
    return fault && SUCCEEDED(connected) ? *fault : connected;
  }
};

}  // namespace

Wmi& wmi() {
  static Wmi instance;
  return instance;
}

void Wmi::reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  classes_.clear();
  reachable_ = true;
  connectionsMade_ = brokenUpTo_ = liveConnections_ = 0;
  connects_.clear();
  blankets_.clear();
  queries_.clear();
  nextTimeouts_.clear();
  locatorContexts_.clear();
}

void Wmi::forgetRequests() {
  std::lock_guard<std::mutex> lock(mutex_);
  connects_.clear();
  blankets_.clear();
  queries_.clear();
  nextTimeouts_.clear();
}

void Wmi::setInstances(const std::u16string& className, const std::vector<WmiInstance>& instances) {
  std::vector<WmiInstance> folded;
  for (const auto& instance : instances) {
    WmiInstance byFoldedName;
    for (const auto& [name, value] : instance) byFoldedName.emplace(foldCase(name), value);
    folded.push_back(byFoldedName);
  }
  std::lock_guard<std::mutex> lock(mutex_);
  classes_[foldCase(className)] = folded;
}

void Wmi::setProperty(const std::u16string& className, const std::u16string& property, const WmiValue& value) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto& instances = classes_[foldCase(className)];
  if (instances.empty()) instances.emplace_back();
  instances.front()[foldCase(property)] = value;
}

void Wmi::setReachable(bool reachable) {
  std::lock_guard<std::mutex> lock(mutex_);
  reachable_ = reachable;
}

void Wmi::breakConnections() {
  std::lock_guard<std::mutex> lock(mutex_);
  brokenUpTo_ = connectionsMade_;
}

std::vector<Wmi::Connect> Wmi::connects() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return connects_;
}

std::vector<Wmi::Blanket> Wmi::blankets() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return blankets_;
}

std::vector<Wmi::Query> Wmi::queries() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return queries_;
}

std::vector<LONG> Wmi::nextTimeouts() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return nextTimeouts_;
}

unsigned Wmi::liveConnections() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return liveConnections_;
}

unsigned Wmi::locatorRequestsWithContext(DWORD context) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = locatorContexts_.find(context);
  return found == locatorContexts_.end() ? 0 : found->second;
}

HRESULT Wmi::createLocator(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++locatorContexts_[context];
  }
  if (!(clsid == kWbemLocatorClass)) return REGDB_E_CLASSNOTREG;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  if ((context & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
  if (!(iid == kWbemLocatorInterface)) return E_NOINTERFACE;
  *object = static_cast<IWbemLocator*>(new Locator);
  return S_OK;
}

HRESULT Wmi::connect(const Connect& request, IWbemServices** services) {
  std::lock_guard<std::mutex> lock(mutex_);
  connects_.push_back(request);
  if (!reachable_) return WBEM_E_TRANSPORT_FAILURE;
  if (foldCase(request.wmiNamespace) != u"root\\cimv2") return WBEM_E_INVALID_NAMESPACE;
  ++liveConnections_;
  *services = new Services(++connectionsMade_);
  return S_OK;
}

HRESULT Wmi::setBlanket(const Blanket& blanket) {
  std::lock_guard<std::mutex> lock(mutex_);
  blankets_.push_back(blanket);
  return S_OK;
}

HRESULT Wmi::query(const Query& query, IEnumWbemClassObject** results) {
  std::lock_guard<std::mutex> lock(mutex_);
  queries_.push_back(query);
  if (query.connection <= brokenUpTo_) return RPC_E_DISCONNECTED;
  if (query.language != u"WQL") return WBEM_E_INVALID_QUERY_TYPE;
  const std::u16string folded = foldCase(query.text);
  const std::u16string prefix = u"select * from ";
  if (folded.compare(0, prefix.size(), prefix) != 0) return WBEM_E_INVALID_PARAMETER;
  auto found = classes_.find(folded.substr(prefix.size()));
  if (found == classes_.end()) return WBEM_E_INVALID_CLASS;
  *results = new Enumerator(found->second);
  return S_OK;
}

void Wmi::recordNext(LONG timeout) {
  std::lock_guard<std::mutex> lock(mutex_);
  nextTimeouts_.push_back(timeout);
}

void Wmi::connectionReleased() {
  std::lock_guard<std::mutex> lock(mutex_);
  --liveConnections_;
}

}  // namespace sim
