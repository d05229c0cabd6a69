// The probe's table and JSON for answers that are awkward to print: quotes, backslashes,
// control characters, surrogate pairs and unpaired surrogates, nulls, arrays, and stdout
// bytes that are not UTF-8.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "probe_output.h"

namespace {

using probe::AnswerKind;
using probe::NativeCall;

NativeCall stringCall(const std::string& native, std::optional<std::u16string> text) {
  NativeCall call;
  call.native = native;
  call.kind = AnswerKind::String;
  call.text = std::move(text);
  call.milliseconds = 1.5;
  return call;
}

probe::Report awkwardReport() {
  probe::Report report;
  report.library = u"C:\\lib\\Tarvix.dll";
  report.bits = 32;
  report.calls.push_back(stringCall("getMBProduct", u"say \"hi\" \\ \t end"));
  report.calls.push_back(stringCall("getMBVersion", std::nullopt));
  report.calls.push_back(stringCall("getCSModel", u"\u00e9 \xD83D\xDE00 lone:\xD800."));
  NativeCall init;
  init.native = "Init";
  init.kind = AnswerKind::Boolean;
  init.boolean = true;
  report.calls.push_back(init);
  NativeCall devices;
  devices.native = "getHadrwareId";
  devices.kind = AnswerKind::StringArray;
  devices.entries = std::vector<std::u16string>{u"PCI\\VEN_1=1.0", u"USB=\u00fc"};
  devices.printed = "PCI\\VEN_1=1.0\r\nUSB=\xC3\xBC\nbad:\xFF\xC3\n";
  devices.milliseconds = 12.25;
  report.calls.push_back(devices);
  NativeCall none;
  none.native = "getHadrwareId";
  none.kind = AnswerKind::StringArray;
  report.calls.push_back(none);
  report.calls.push_back(stringCall("getJreVersionInfo", u"C:\\jre"));
  report.calls.back().argument = u"JavaHome";
  NativeCall uninit;
  uninit.native = "Uninit";
  report.calls.push_back(uninit);
  return report;
}

TEST(ProbeOutput, TableShowsEachAnswerOnItsOwnLine) {
  const std::string expected =
      "Tarvix.dll, 32-bit: C:\\lib\\Tarvix.dll\n"
      "\n"
      "native                                    ms  answer\n"
      "getMBProduct                           1.500  \"say \"hi\" \\ \\u0009 end\"\n"
      "getMBVersion                           1.500  null\n"
      "getCSModel                             1.500  \"\xC3\xA9 \xF0\x9F\x98\x80 lone:\xEF\xBF\xBD.\"\n"
      "Init                                   0.000  true\n"
      "getHadrwareId                         12.250  2 entries\n"
      "                                              [0] \"PCI\\VEN_1=1.0\"\n"
      "                                              [1] \"USB=\xC3\xBC\"\n"
      "                                              stdout: \"PCI\\VEN_1=1.0\"\n"
      "                                              stdout: \"USB=\xC3\xBC\"\n"
      "                                              stdout: \"bad:\xEF\xBF\xBD\xEF\xBF\xBD\"\n"
      "getHadrwareId                          0.000  null\n"
      "getJreVersionInfo(\"JavaHome\")          1.500  \"C:\\jre\"\n"
      "Uninit                                 0.000  (no answer)\n";
  EXPECT_EQ(probe::renderTable(awkwardReport()), expected);
}

TEST(ProbeOutput, JsonKeepsEveryUnitAndEscapesWhatJsonRequires) {
  const std::string json = probe::renderJson(awkwardReport());
  for (const char* part : {
           "\"library\": \"C:\\\\lib\\\\Tarvix.dll\"",
           "\"bits\": 32",
           "\"answer\": \"say \\\"hi\\\" \\\\ \\u0009 end\"",
           "\"native\": \"getMBVersion\",\n      \"answer\": null,",
           // the pair as UTF-8, the unpaired surrogate as an escape of the same unit
           "\"answer\": \"\xC3\xA9 \xF0\x9F\x98\x80 lone:\\ud800.\"",
           "\"answer\": true",
           "\"answer\": [\n        \"PCI\\\\VEN_1=1.0\",\n        \"USB=\xC3\xBC\"\n      ]",
           "\"stdout\": [\n        \"PCI\\\\VEN_1=1.0\",\n        \"USB=\xC3\xBC\",\n        \"bad:\xEF\xBF\xBD\xEF\xBF\xBD\"\n      ]",
           "\"native\": \"getHadrwareId\",\n      \"answer\": null,",
           "\"argument\": \"JavaHome\",\n      \"answer\": \"C:\\\\jre\"",
           "\"milliseconds\": 12.250",
           "\"native\": \"Uninit\",\n      \"stdout\": [],",
       }) {
    EXPECT_NE(json.find(part), std::string::npos) << "missing: " << part << "\nin:\n" << json;
  }
}

// The same report through a real JSON parser, which must read back the exact texts.
TEST(ProbeOutput, JsonIsValidForAJsonParser) {
  const std::string path = ::testing::TempDir() + "probe-report.json";
  {
    std::ofstream file(path, std::ios::binary);
    file << probe::renderJson(awkwardReport());
  }
  const std::string script =
      "import json,sys\n"
      "r = json.load(open(sys.argv[1], encoding='utf-8'))\n"
      "c = r['calls']\n"
      "assert c[0]['answer'] == 'say \"hi\" \\\\ \\t end', c[0]\n"
      "assert c[2]['answer'] == '\\u00e9 \\U0001F600 lone:\\ud800.', ascii(c[2]['answer'])\n"
      "assert c[4]['answer'] == ['PCI\\\\VEN_1=1.0', 'USB=\\u00fc']\n"
      "assert c[4]['stdout'][2] == 'bad:\\ufffd\\ufffd'\n"
      "assert c[5]['answer'] is None and 'answer' not in c[7]\n";
  const std::string scriptPath = ::testing::TempDir() + "probe-report-check.py";
  {
    std::ofstream file(scriptPath);
    file << script;
  }
  const int status = std::system(("python3 " + scriptPath + " " + path).c_str());
  EXPECT_EQ(status, 0);
  std::remove(path.c_str());
  std::remove(scriptPath.c_str());
}

TEST(ProbeOutput, EmptyReportIsStillValidJson) {
  probe::Report report;
  report.bits = 64;
  EXPECT_EQ(probe::renderJson(report), "{\n  \"library\": \"\",\n  \"bits\": 64,\n  \"calls\": []\n}\n");
}

}  // namespace
