// The licence and readme reader: a document file shown in a browser pane on the headless
// backend, as the licence and readme pages show it. The first byte chooses the file's name
// (plain text, rich text or HTML by extension; the content can still say rich text).
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/fuzz/FuzzSupport.h"
#include "ui/BrowserPane.h"
#include "ui/Form.h"
#include "ui/headless/HeadlessBackend.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static constexpr std::array<const char*, 4> kNames = {
      "C:\\Docs\\License.txt", "C:\\Docs\\License.rtf", "C:\\Docs\\Readme.htm",
      "C:\\Docs\\Readme.html"};
  fuzz::Machine& machine = fuzz::Machine::Get();
  static ui::HeadlessBackend backend;
  static ui::Form form(backend, "TfrmFuzz");
  static ui::BrowserPane* pane = form.Add<ui::BrowserPane>("WebBrowser1");

  const std::string name = kNames[data[0] % kNames.size()];
  machine.Put(name, fuzz::Bytes(data + 1, size - 1));
  pane->Navigate(name);
  pane->PageDown();
  return 0;
}
