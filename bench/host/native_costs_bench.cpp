// Each native beside the plain sequence of the same platform and JNI calls (bench/plain_sequences.h),
// on the simulated machine: the difference is the library's own work per call.
#include <benchmark/benchmark.h>

#include "light_jni.h"
#include "natives.h"
#include "plain_sequences.h"
#include "simulated_windows.h"

namespace {

const char16_t kRuntimeKey[] = u"Software\\JavaSoft\\Java Runtime Environment\\1.6";

void machineWith(int devices) {
  sim::resetMachine();
  sim::wmi().setProperty(u"Win32_BIOS", u"Version", sim::WmiValue::string(u"BIOS Version 2.17.1246"));
  for (int i = 0; i < devices; ++i) {
    sim::devices().addWithDriver({u"PCI\\VEN_8086&DEV_" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26))},
                                 u"10.0.19041.1");
  }
  sim::Machine::get().keepCallLog(false);
  sim::registry().setString(kRuntimeKey, u"JavaHome", u"C:\\Program Files\\Java\\jre6");
}

// What the simulated machine records (standard output, requests) is dropped now and then, on
// both sides alike.
void forgetNowAndThen(std::size_t& calls) {
  if ((++calls & 1023) == 0) sim::forgetHistory();
}

template <typename Call>
void run(benchmark::State& state, int devices, Call call) {
  machineWith(devices);
  std::size_t calls = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(call());
    forgetNowAndThen(calls);
  }
  sim::resetMachine();
}

JNIEnv* env() { return bench::lightEnv(); }

void versionNative(benchmark::State& state) { run(state, 0, [] { return Java_com_velk_utils_Tarvix_getVersion(env(), nullptr); }); }
void versionPlain(benchmark::State& state) { run(state, 0, [] { return plain::version(env()); }); }

void initUninitNative(benchmark::State& state) {
  run(state, 0, [] {
    const jboolean opened = Java_com_velk_utils_Tarvix_Init(env(), nullptr);
    Java_com_velk_utils_Tarvix_Uninit(env(), nullptr);
    return opened;
  });
}
void initUninitPlain(benchmark::State& state) {
  run(state, 0, [] {
    IWbemServices* service = plain::connect();
    if (service != nullptr) service->Release();
    CoUninitialize();
    return service;
  });
}

void getterNative(benchmark::State& state) {
  machineWith(0);
  Java_com_velk_utils_Tarvix_Init(env(), nullptr);
  std::size_t calls = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Java_com_velk_utils_Tarvix_getBIOSVersion(env(), nullptr));
    forgetNowAndThen(calls);
  }
  Java_com_velk_utils_Tarvix_Uninit(env(), nullptr);
}
void getterPlain(benchmark::State& state) {
  machineWith(0);
  IWbemServices* service = plain::connect();
  std::size_t calls = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(plain::getter(env(), service, u"Select * from Win32_BIOS", u"Version"));
    forgetNowAndThen(calls);
  }
  service->Release();
  CoUninitialize();
}

void inventoryNative(benchmark::State& state) {
  run(state, 10, [] { return Java_com_velk_utils_Tarvix_getHadrwareId(env(), nullptr); });
}
void inventoryPlain(benchmark::State& state) { run(state, 10, [] { return plain::inventory(env()); }); }

void jreValueNative(benchmark::State& state) {
  run(state, 0, [] {
    return Java_com_velk_utils_MiscUtils_getJreVersionInfo(env(), nullptr, bench::javaString(u"JavaHome"));
  });
}
void jreValuePlain(benchmark::State& state) {
  run(state, 0, [] { return plain::jreValue(env(), bench::javaString(u"JavaHome")); });
}

void rootFileNative(benchmark::State& state) {
  run(state, 0, [] { return Java_com_velk_utils_MiscUtils_createRootFile(env(), nullptr); });
}
void rootFilePlain(benchmark::State& state) { run(state, 0, [] { return plain::createRootFile(); }); }

}  // namespace

BENCHMARK(versionNative)->Name("getVersion/native");
BENCHMARK(versionPlain)->Name("getVersion/plain");
BENCHMARK(initUninitNative)->Name("Init+Uninit/native");
BENCHMARK(initUninitPlain)->Name("Init+Uninit/plain");
BENCHMARK(getterNative)->Name("getBIOSVersion/native");
BENCHMARK(getterPlain)->Name("getBIOSVersion/plain");
BENCHMARK(inventoryNative)->Name("getHadrwareId(10 devices)/native");
BENCHMARK(inventoryPlain)->Name("getHadrwareId(10 devices)/plain");
BENCHMARK(jreValueNative)->Name("getJreVersionInfo/native");
BENCHMARK(jreValuePlain)->Name("getJreVersionInfo/plain");
BENCHMARK(rootFileNative)->Name("createRootFile/native");
BENCHMARK(rootFilePlain)->Name("createRootFile/plain");
