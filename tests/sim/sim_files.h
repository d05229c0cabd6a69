// The simulated file system: files by path with their contents, open handles with their
// share modes, and the refusals Windows gives (access denied, sharing violation).
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/windows_api.h"

namespace sim {

class FileSystem {
 public:
  void reset();
  // Forgets the requests recorded; files and open handles stay.
  void forgetRequests();
  void putFile(const std::u16string& path, const std::string& content);
  std::optional<std::string> content(const std::u16string& path) const;
  // Creating or opening for writing anything under this folder is refused with ERROR_ACCESS_DENIED.
  void denyWritesUnder(const std::u16string& folder);
  // Another process holds the file open without sharing it.
  void holdOpenElsewhere(const std::u16string& path);

  struct CreateRequest {
    std::u16string path;
    DWORD access, shareMode, creation, flags;
    bool security, templateFile;
  };
  std::vector<CreateRequest> createRequests() const;

  HANDLE create(const WCHAR* name, DWORD access, DWORD shareMode, SECURITY_ATTRIBUTES* security, DWORD creation,
                DWORD flags, HANDLE templateFile);
  BOOL close(HANDLE handle);

 private:
  struct OpenFile {
    std::u16string path;  // folded
    DWORD shareMode;
  };
  mutable std::mutex mutex_;
  std::map<std::u16string, std::string> files_;  // by folded path
  std::vector<std::u16string> deniedFolders_;
  std::vector<std::u16string> heldElsewhere_;
  std::map<HANDLE, OpenFile> open_;
  std::vector<CreateRequest> requests_;
  unsigned nextHandle_ = 1;
};

FileSystem& files();

}  // namespace sim
