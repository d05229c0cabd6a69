// The simulated WMI service: classes of root\\cimv2 with their instances and properties,
// the locator, the service handle (with its proxy security), result enumerators and objects.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/windows_api.h"

namespace sim {

struct WmiValue {
  enum class Kind { Text, NullBstr, Null, Number } kind;
  std::u16string text;
  LONG number = 0;

  static WmiValue string(const std::u16string& text) { return {Kind::Text, text, 0}; }
  static WmiValue nullBstr() { return {Kind::NullBstr, {}, 0}; }
  static WmiValue null() { return {Kind::Null, {}, 0}; }
  static WmiValue integer(LONG number) { return {Kind::Number, {}, number}; }
};

using WmiInstance = std::map<std::u16string, WmiValue>;  // by property name

class Wmi {
 public:
  void reset();
  // Forgets the connects, blankets, queries and waits recorded; classes and connections stay.
  void forgetRequests();
  // The class's instances, in the order its enumerators return them.
  void setInstances(const std::u16string& className, const std::vector<WmiInstance>& instances);
  // Sets one property of the class's first instance, making the instance if there is none.
  void setProperty(const std::u16string& className, const std::u16string& property, const WmiValue& value);
  // Whether ConnectServer can reach the service at all.
  void setReachable(bool reachable);
  // Every connection made so far is broken: its queries answer RPC_E_DISCONNECTED.
  void breakConnections();

  struct Connect {
    std::u16string wmiNamespace;
    bool user, password, locale, authority, context;
    LONG securityFlags;
  };
  struct Blanket {
    bool proxyIsTheService;
    DWORD authn, authz;
    bool principal;
    DWORD level, impersonation;
    bool authInfo;
    DWORD capabilities;
  };
  struct Query {
    std::u16string language, text;
    LONG flags;
    bool context;
    unsigned connection;  // which connection ran it, from 1
  };
  std::vector<Connect> connects() const;
  std::vector<Blanket> blankets() const;
  std::vector<Query> queries() const;
  std::vector<LONG> nextTimeouts() const;
  // Connections made and not yet released by everyone.
  unsigned liveConnections() const;
  unsigned locatorRequestsWithContext(DWORD context) const;

  // --- the service's work, called by the simulated objects ---
  HRESULT createLocator(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object);
  HRESULT connect(const Connect& request, IWbemServices** services);
  HRESULT setBlanket(const Blanket& blanket);
  HRESULT query(const Query& query, IEnumWbemClassObject** results);
  void recordNext(LONG timeout);
  void connectionReleased();

 private:
  mutable std::mutex mutex_;
  std::map<std::u16string, std::vector<WmiInstance>> classes_;  // by folded class name
  bool reachable_ = true;
  unsigned connectionsMade_ = 0;
  unsigned brokenUpTo_ = 0;
  unsigned liveConnections_ = 0;
  std::vector<Connect> connects_;
  std::vector<Blanket> blankets_;
  std::vector<Query> queries_;
  std::vector<LONG> nextTimeouts_;
  std::map<DWORD, unsigned> locatorContexts_;
};

Wmi& wmi();

}  // namespace sim
