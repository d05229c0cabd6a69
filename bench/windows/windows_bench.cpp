// On a Windows system (Wine here): a getter of Tarvix.dll beside the plain WMI query sequence it
// stands for, in the same process and in alternating batches; and beside what a Java
// application would do without the library, spawning wmic for the same property.
//   windows_bench.exe PATH\TO\Tarvix.dll
// Prints one line per figure: "wine", the name, the median, lowest and highest microseconds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "fake_jvm.h"
#include "loaded_library.h"
#include "plain_sequences.h"

namespace {

using StringNative = jstring(JNICALL*)(JNIEnv*, jclass);
using BooleanNative = jboolean(JNICALL*)(JNIEnv*, jclass);
using VoidNative = void(JNICALL*)(JNIEnv*, jclass);

constexpr int kBatches = 15;
constexpr int kCallsPerBatch = 100;

double nowMicroseconds() {
  LARGE_INTEGER counter;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return 1e6 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void report(const char* name, std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  std::printf("wine\t%s\t%.1f\t%.1f\t%.1f\n", name, samples[samples.size() / 2], samples.front(), samples.back());
}

template <typename Call>
double batch(Call call) {
  fakejvm::FakeJvm vm;
  const double start = nowMicroseconds();
  for (int i = 0; i < kCallsPerBatch; ++i) {
    if (call(vm.env()) == nullptr) return -1;
  }
  return (nowMicroseconds() - start) / kCallsPerBatch;
}

// One run of wmic to its end, its output thrown away.
double spawnWmic() {
  wchar_t command[] = L"wmic.exe bios get version";
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE discard = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = discard;
  PROCESS_INFORMATION process{};
  const double start = nowMicroseconds();
  if (!CreateProcessW(nullptr, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    CloseHandle(discard);
    return -1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  const double elapsed = nowMicroseconds() - start;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(discard);
  return elapsed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: windows_bench.exe PATH\\TO\\Tarvix.dll\n");
    return 2;
  }
  LoadedLibrary library(argv[1]);
  auto init = library.native<BooleanNative>("Tarvix", "Init");
  auto uninit = library.native<VoidNative>("Tarvix", "Uninit");
  auto getter = library.native<StringNative>("Tarvix", "getBIOSVersion");
  if (!library.loaded() || init == nullptr || uninit == nullptr || getter == nullptr) {
    std::fprintf(stderr, "windows_bench: cannot load the natives from %ls\n", argv[1]);
    return 1;
  }
  fakejvm::FakeJvm vm;
  IWbemServices* service = plain::connect();
  if (init(vm.env(), nullptr) != JNI_TRUE || service == nullptr) {
    std::fprintf(stderr, "windows_bench: WMI is not reachable\n");
    return 1;
  }
  auto native = [&](JNIEnv* env) { return getter(env, nullptr); };
  auto plainSequence = [&](JNIEnv* env) {
    return plain::getter(env, service, L"Select * from Win32_BIOS", L"Version");
  };
  batch(native);  // warm both paths before timing
  batch(plainSequence);
  std::vector<double> nativeTimes;
  std::vector<double> plainTimes;
  for (int b = 0; b < kBatches; ++b) {
    nativeTimes.push_back(batch(native));
    plainTimes.push_back(batch(plainSequence));
  }
  if (std::count(nativeTimes.begin(), nativeTimes.end(), -1.0) + std::count(plainTimes.begin(), plainTimes.end(), -1.0)) {
    std::fprintf(stderr, "windows_bench: a getter answered null\n");
    return 1;
  }
  report("getBIOSVersion (native)", nativeTimes);
  report("getBIOSVersion (plain WMI sequence)", plainTimes);
  uninit(vm.env(), nullptr);
  service->Release();
  CoUninitialize();

  std::vector<double> wmicTimes;
  spawnWmic();  // warm: the first start loads more
  for (int i = 0; i < 5; ++i) wmicTimes.push_back(spawnWmic());
  if (std::count(wmicTimes.begin(), wmicTimes.end(), -1.0)) {
    std::fprintf(stderr, "windows_bench: cannot start wmic\n");
    return 1;
  }
  report("wmic bios get version (a new process)", wmicTimes);
  return 0;
}
