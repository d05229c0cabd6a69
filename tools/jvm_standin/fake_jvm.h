// A stand-in for the Java VM: a JNIEnv whose function table records what the library asks
// of it. Used by the host unit tests and, built with mingw-w64, by the Windows programs that
// load Tarvix.dll. Only the functions the library is expected to call are implemented; any
// other one stops the process with its table index, since on 32-bit Windows an unknown
// stdcall function cannot even return safely.
#pragma once

#include <jni.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace fakejvm {

class FakeJvm {
 public:
  FakeJvm();
  ~FakeJvm();
  FakeJvm(const FakeJvm&) = delete;
  FakeJvm& operator=(const FakeJvm&) = delete;

  JNIEnv* env() { return &block_.env; }

  // The nth call (from 1) of the named JNI function fails as the VM's would: it returns
  // null (or nothing) and leaves an exception pending.
  void failCall(const std::string& function, unsigned nthCall);

  // A string made by the "Java side", as an argument to a native: not the library's reference.
  jstring javaString(const std::u16string& text);

  // --- what the library did ---
  unsigned callCount(const std::string& function) const;
  std::vector<std::string> calls() const;
  bool exceptionPending() const;
  // Misuse of the VM found so far: calls with an exception pending, use of a deleted
  // reference, string characters never given back. Empty when the library behaved.
  std::vector<std::string> violations() const;
  unsigned peakLocalReferences() const;

  // --- reading answers ---
  bool isString(jobject object) const;
  std::u16string stringText(jobject object) const;
  bool isArray(jobject object) const;
  std::vector<jobject> arrayElements(jobject array) const;

  // Implementation detail shared with the table's functions.
  struct Object;
  struct Impl;

 private:
  struct Block {
    JNIEnv env;  // first member: the table's functions find the owner from the env pointer
    FakeJvm* owner;
  };
  JNINativeInterface_ table_;
  Block block_;
  std::unique_ptr<Impl> impl_;

  friend Impl& implOf(JNIEnv* env);
};

}  // namespace fakejvm
