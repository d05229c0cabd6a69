// getHadrwareId over 10 to 100,000 simulated devices: time per device, and the peak of the
// heap during one call per device (the entries, the array's strings, the device list).
#include <benchmark/benchmark.h>

#include <string>

#include "heap_peak.h"
#include "light_jni.h"
#include "natives.h"
#include "plain_sequences.h"
#include "simulated_windows.h"

namespace {

template <bool Plain>
void inventoryScaling(benchmark::State& state) {
  const auto devices = static_cast<int>(state.range(0));
  sim::resetMachine();
  for (int i = 0; i < devices; ++i) {
    sim::devices().addWithDriver({u"PCI\\VEN_8086&DEV_" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26))},
                                 u"10.0.19041.1");
  }
  sim::Machine::get().keepCallLog(false);
  JNIEnv* env = bench::lightEnv();
  sim::forgetHistory();
  bench::resetHeapPeak();
  const auto call = [env] {
    return Plain ? plain::inventory(env) : Java_com_velk_utils_Tarvix_getHadrwareId(env, nullptr);
  };
  benchmark::DoNotOptimize(call());
  const double peakBytes = static_cast<double>(bench::heapPeakAboveReset());
  for (auto _ : state) {
    sim::forgetHistory();
    benchmark::DoNotOptimize(call());
  }
  state.counters["devices"] = devices;
  state.counters["peak_bytes_per_device"] = peakBytes / devices;
  sim::resetMachine();
}

}  // namespace

BENCHMARK(inventoryScaling<false>)->Name("getHadrwareId/scaling/native")->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)
    ->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(inventoryScaling<true>)->Name("getHadrwareId/scaling/plain")->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)
    ->Arg(100000)->Unit(benchmark::kMillisecond);
