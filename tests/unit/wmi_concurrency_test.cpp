// Getters on several threads while another thread opens and closes the connection and WMI
// now and then reports it broken. Run under ThreadSanitizer too (the host-tsan preset).
#include <atomic>
#include <thread>

#include "wmi_fixture.h"

namespace {

TEST(Concurrency, GettersRaceInitUninitAndReconnectsSafely) {
  sim::resetMachine();
  fillIdentity();
  sim::Machine::get().setFaultRule("ExecQuery", [](unsigned index) -> std::optional<std::int64_t> {
    if (index % 7 == 0) return RPC_E_DISCONNECTED;
    return std::nullopt;
  });

  constexpr int kReaders = 4;
  std::atomic<unsigned> wrongAnswers{0}, answered{0};
  std::atomic<int> readersLeft{kReaders};
  std::atomic<bool> started{false};
  // Opens and closes the connection for as long as the readers read.
  std::thread lifecycle([&] {
    fakejvm::FakeJvm vm;
    while (readersLeft.load() > 0) {
      Java_com_velk_utils_Tarvix_Init(vm.env(), nullptr);
      started = true;
      for (int pause = 0; pause < 200; ++pause) std::this_thread::yield();  // let the readers in
      Java_com_velk_utils_Tarvix_Uninit(vm.env(), nullptr);
    }
  });
  std::vector<std::thread> readers;
  for (int reader = 0; reader < kReaders; ++reader) {
    readers.emplace_back([&] {
      fakejvm::FakeJvm vm;
      while (!started.load()) std::this_thread::yield();
      for (int round = 0; round < 60; ++round) {
        for (const auto& getter : allGetters()) {
          jstring answer = getter.native(vm.env(), nullptr);
          if (answer == nullptr) continue;  // no connection at that moment
          ++answered;
          if (vm.stringText(answer) != valueOf(getter)) ++wrongAnswers;
        }
      }
      EXPECT_EQ(vm.violations(), std::vector<std::string>{});
      --readersLeft;
    });
  }
  for (auto& reader : readers) reader.join();
  lifecycle.join();

  // A reader's reconnect may have refilled the slot after the last Uninit.
  fakejvm::FakeJvm vm;
  Java_com_velk_utils_Tarvix_Uninit(vm.env(), nullptr);
  EXPECT_EQ(wrongAnswers.load(), 0u);
  EXPECT_EQ(sim::Machine::get().ledgerFaults(), std::vector<std::string>{});
  EXPECT_EQ(sim::wmi().liveConnections(), 0u);
  std::printf("%u answers while the connection came and went\n", answered.load());
}

}  // namespace
