#include "sim_files.h"

#include <algorithm>

#include "sim_machine.h"
#include "sim_text.h"

namespace sim {

FileSystem& files() {
  static FileSystem instance;
  return instance;
}

void FileSystem::reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  files_.clear();
  deniedFolders_.clear();
  heldElsewhere_.clear();
  open_.clear();
  requests_.clear();
}

void FileSystem::forgetRequests() {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.clear();
}

void FileSystem::putFile(const std::u16string& path, const std::string& content) {
  std::lock_guard<std::mutex> lock(mutex_);
  files_[foldCase(path)] = content;
}

std::optional<std::string> FileSystem::content(const std::u16string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = files_.find(foldCase(path));
  if (found == files_.end()) return std::nullopt;
  return found->second;
}

void FileSystem::denyWritesUnder(const std::u16string& folder) {
  std::lock_guard<std::mutex> lock(mutex_);
  deniedFolders_.push_back(foldCase(folder));
}

void FileSystem::holdOpenElsewhere(const std::u16string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  heldElsewhere_.push_back(foldCase(path));
}

std::vector<FileSystem::CreateRequest> FileSystem::createRequests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

HANDLE FileSystem::create(const WCHAR* name, DWORD access, DWORD shareMode, SECURITY_ATTRIBUTES* security,
                          DWORD creation, DWORD flags, HANDLE templateFile) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::u16string path = textOf(name);
  requests_.push_back({path, access, shareMode, creation, flags, security != nullptr, templateFile != nullptr});
  const std::u16string folded = foldCase(path);
  for (const auto& folder : deniedFolders_) {
    if (folded.compare(0, folder.size(), folder) == 0) {
      setLastError(ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
  }
  const bool heldUnshared =
      std::find(heldElsewhere_.begin(), heldElsewhere_.end(), folded) != heldElsewhere_.end() ||
      std::any_of(open_.begin(), open_.end(), [&](const auto& entry) {
        return entry.second.path == folded && (entry.second.shareMode == 0 || shareMode == 0);
      });
  if (heldUnshared) {
    setLastError(ERROR_SHARING_VIOLATION);
    return INVALID_HANDLE_VALUE;
  }
  if (creation != CREATE_ALWAYS) {  // the only disposition the library uses
    setLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  files_[folded].clear();  // created, or truncated to zero length
  HANDLE handle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x20000u + 4u * nextHandle_++));
  open_[handle] = OpenFile{folded, shareMode};
  Machine::get().acquire(Resource::FileHandle, idOf(handle));
  return handle;
}

BOOL FileSystem::close(HANDLE handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  Machine::get().release(Resource::FileHandle, idOf(handle));  // records a bad release
  if (open_.erase(handle) == 0) {
    setLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

}  // namespace sim

HANDLE CreateFileW(const WCHAR* fileName, DWORD access, DWORD shareMode, SECURITY_ATTRIBUTES* security,
                   DWORD creation, DWORD flags, HANDLE templateFile) {
  if (auto fault = sim::Machine::get().enterCall("CreateFileW")) {
    sim::setLastError(static_cast<DWORD>(*fault));
    return INVALID_HANDLE_VALUE;
  }
  return sim::files().create(fileName, access, shareMode, security, creation, flags, templateFile);
}

BOOL CloseHandle(HANDLE handle) {
  // An injected failure still closes the handle: a caller cannot do more than call once.
  auto fault = sim::Machine::get().enterCall("CloseHandle");
  BOOL closed = sim::files().close(handle);
  if (fault) {
    sim::setLastError(static_cast<DWORD>(*fault));
    return FALSE;
  }
  return closed;
}
