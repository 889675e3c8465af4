#include "core/support/ini_file.h"
#include "fuzz_check.h"

using vocanta::IniFile;
using vocanta::fuzz::require;

namespace {

// Every value must read the same from the text the class wrote as from the input.
void require_same_reads(const IniFile& read, const IniFile& reread) {
  for (const std::string& section : read.sections()) {
    require(reread.has_section(section), "a section survives text()");
    for (const std::string& key : read.keys(section))
      require(reread.has_key(section, key) &&
                  reread.read(section, key, "") == read.read(section, key, ""),
              "a value survives text()");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const IniFile ini(vocanta::fuzz::as_text(data, size));
  const std::string text = ini.text();
  const IniFile again(text);
  require(again.text() == text, "text() of the parsed text() is the same");
  require_same_reads(ini, again);
  IniFile classic(text);
  classic.set_limits(IniFile::kClassicLimits);
  for (const std::string& section : classic.sections())
    for (const std::string& key : classic.keys(section))
      require(classic.read(section, key, "").size() <= IniFile::kClassicLimits.valueLength,
              "the classic limits cut values");
  return 0;
}
