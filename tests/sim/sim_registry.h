// The simulated registry: keys under HKEY_LOCAL_MACHINE holding typed values, the way
// RegOpenKeyExW and RegQueryValueExW see them. Names compare without regard to ASCII case.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/windows_api.h"

namespace sim {

class Registry {
 public:
  void reset();
  // Forgets the requests recorded; keys, values and open keys stay.
  void forgetRequests();
  void createKey(const std::u16string& path);
  void removeKey(const std::u16string& path);
  // Raw data of any type and size; creates the key.
  void setValue(const std::u16string& path, const std::u16string& name, DWORD type, const std::string& data);
  // A REG_SZ value as Windows stores one: the text and its terminating NUL.
  void setString(const std::u16string& path, const std::u16string& name, const std::u16string& text);
  // The data of a value as stored, or nothing when the key or the value is absent.
  std::optional<std::string> storedData(const std::u16string& path, const std::u16string& name) const;

  struct OpenRequest {
    std::u16string path;
    DWORD options;
    REGSAM access;
  };
  std::vector<OpenRequest> openRequests() const;
  std::vector<std::u16string> queriedNames() const;

  // The platform functions' work, after fault injection.
  LSTATUS open(HKEY root, const WCHAR* subKey, DWORD options, REGSAM access, HKEY* result);
  LSTATUS query(HKEY key, const WCHAR* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
  LSTATUS close(HKEY key);

 private:
  struct Value {
    DWORD type;
    std::string data;
  };
  struct Key {
    std::map<std::u16string, Value> values;  // by folded name
  };
  mutable std::mutex mutex_;
  // By folded path; hashed, since driver keys share a long prefix that an ordered map would
  // compare again at every step of every lookup.
  std::unordered_map<std::u16string, Key> keys_;
  std::map<HKEY, std::u16string> openKeys_;
  std::vector<OpenRequest> openRequests_;
  std::vector<std::u16string> queriedNames_;
  unsigned nextHandle_ = 1;
};

Registry& registry();

}  // namespace sim
