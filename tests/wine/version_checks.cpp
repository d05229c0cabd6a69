#include "checks.h"
#include "fake_jvm.h"

void checkVersion(const LoadedLibrary& library, CheckReport& report) {
  auto getVersion = library.native<StringNative>("Tarvix", "getVersion");
  if (!report.expect(getVersion != nullptr, "getVersion: exported under its JNI name")) return;
  fakejvm::FakeJvm vm;
  jstring answer = getVersion(vm.env(), nullptr);
  report.expect(answer != nullptr && vm.stringText(answer) == u"Ver: 2009.12.25",
                "getVersion: answers \"Ver: 2009.12.25\"");
  report.expect(vm.violations().empty(), "getVersion: uses the VM correctly");
}
