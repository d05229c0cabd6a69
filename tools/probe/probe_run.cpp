#include "probe_run.h"

#include <windows.h>

#include <algorithm>

#include "captured_stdout.h"
#include "fake_jvm.h"

namespace probe {
namespace {

struct PlannedCall {
  const char* cls;
  const char* method;
  AnswerKind kind;
  const char16_t* argument;  // getJreVersionInfo's value name; null for the others
};

const PlannedCall kNatives[] = {
    {"Tarvix", "getVersion", AnswerKind::String, nullptr},
    {"Tarvix", "Init", AnswerKind::Boolean, nullptr},
    {"Tarvix", "getMBManufacturer", AnswerKind::String, nullptr},
    {"Tarvix", "getMBProduct", AnswerKind::String, nullptr},
    {"Tarvix", "getMBVersion", AnswerKind::String, nullptr},
    {"Tarvix", "getMBSerialNumber", AnswerKind::String, nullptr},
    {"Tarvix", "getBIOSLanguage", AnswerKind::String, nullptr},
    {"Tarvix", "getBIOSVersion", AnswerKind::String, nullptr},
    {"Tarvix", "getSMBIOSVersion", AnswerKind::String, nullptr},
    {"Tarvix", "getCSManufacturer", AnswerKind::String, nullptr},
    {"Tarvix", "getCSModel", AnswerKind::String, nullptr},
    {"Tarvix", "getHadrwareId", AnswerKind::StringArray, nullptr},
    {"MiscUtils", "getJreVersionInfo", AnswerKind::String, u"JavaHome"},
    {"MiscUtils", "getJreVersionInfo", AnswerKind::String, u"RuntimeLib"},
    {"MiscUtils", "getJreVersionInfo", AnswerKind::String, u"MicroVersion"},
    {"Tarvix", "Uninit", AnswerKind::Nothing, nullptr},
};
const PlannedCall kCreateRootFile = {"MiscUtils", "createRootFile", AnswerKind::Boolean, nullptr};

using NoArgument = jobject(JNICALL*)(JNIEnv*, jclass);
using OneArgument = jobject(JNICALL*)(JNIEnv*, jclass, jstring);
using BooleanAnswer = jboolean(JNICALL*)(JNIEnv*, jclass);
using NoAnswer = void(JNICALL*)(JNIEnv*, jclass);

void* nativeOf(const LoadedLibrary& library, const PlannedCall& planned) {
  return library.native<void*>(planned.cls, planned.method, planned.argument != nullptr ? 1 : 0);
}

double elapsedMilliseconds(const LARGE_INTEGER& start) {
  LARGE_INTEGER now;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::wstring captureFile() {
  wchar_t directory[MAX_PATH + 1] = {};
  wchar_t file[MAX_PATH + 1] = {};
  if (GetTempPathW(MAX_PATH, directory) == 0 || GetTempFileNameW(directory, L"tvx", 0, file) == 0) {
    return L"tarvix-probe.out";
  }
  return file;
}

NativeCall call(const LoadedLibrary& library, const PlannedCall& planned, const std::wstring& capture) {
  NativeCall result;
  result.native = planned.method;
  result.kind = planned.kind;
  if (planned.argument != nullptr) result.argument = planned.argument;
  void* native = nativeOf(library, planned);
  fakejvm::FakeJvm vm;
  jstring argument = planned.argument != nullptr ? vm.javaString(planned.argument) : nullptr;

  CapturedStdout output(capture.c_str());
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  jobject answer = nullptr;
  switch (planned.kind) {
    case AnswerKind::Boolean:
      result.boolean = reinterpret_cast<BooleanAnswer>(native)(vm.env(), nullptr) == JNI_TRUE;
      break;
    case AnswerKind::Nothing:
      reinterpret_cast<NoAnswer>(native)(vm.env(), nullptr);
      break;
    case AnswerKind::String:
    case AnswerKind::StringArray:
      answer = planned.argument != nullptr ? reinterpret_cast<OneArgument>(native)(vm.env(), nullptr, argument)
                                        : reinterpret_cast<NoArgument>(native)(vm.env(), nullptr);
      break;
  }
  result.milliseconds = elapsedMilliseconds(start);
  result.printed = output.text();

  if (answer != nullptr && planned.kind == AnswerKind::String && vm.isString(answer)) {
    result.text = vm.stringText(answer);
  }
  if (answer != nullptr && planned.kind == AnswerKind::StringArray && vm.isArray(answer)) {
    result.entries.emplace();
    for (jobject entry : vm.arrayElements(answer)) {
      result.entries->push_back(entry != nullptr && vm.isString(entry) ? vm.stringText(entry) : u"");
    }
  }
  return result;
}

}  // namespace

std::vector<std::string> missingNatives(const LoadedLibrary& library) {
  std::vector<std::string> missing;
  auto note = [&](const PlannedCall& planned) {
    const bool known = std::find(missing.begin(), missing.end(), planned.method) != missing.end();
    if (!known && nativeOf(library, planned) == nullptr) missing.push_back(planned.method);
  };
  for (const auto& planned : kNatives) note(planned);
  note(kCreateRootFile);
  return missing;
}

Report runProbe(const LoadedLibrary& library, const std::u16string& path, bool createRootFile) {
  Report report;
  report.library = path;
  report.bits = static_cast<int>(sizeof(void*) * 8);
  const std::wstring capture = captureFile();
  for (const auto& planned : kNatives) report.calls.push_back(call(library, planned, capture));
  if (createRootFile) report.calls.push_back(call(library, kCreateRootFile, capture));
  DeleteFileW(capture.c_str());
  return report;
}

}  // namespace probe
