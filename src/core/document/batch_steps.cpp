#include "core/document/batch_steps.h"

#include <string>

#include "core/model/batch_list.h"
#include "core/support/ini_file.h"
#include "core/support/message_text.h"
#include "core/support/number_format.h"
#include "core/support/vocanta_error.h"

namespace vocanta {

namespace {
constexpr const char* kSection = "BatchSteps";
}

void write_batch_steps(const BatchList& batches, IniFile& ini) {
  for (const tbatchitem* b = batches.head(); b; b = b->next)
    ini.write(kSection, b->name, std::to_string(b->nSteps));
}

int16_t get_document_batch(BatchList& batches, std::string_view name, std::string_view section,
                           std::string_view key) {
  try {
    return batches.get_batch(name);
  } catch (const VocantaError& e) {
    throw VocantaError("Section [" + std::string(section) + "], entry " + quoted(key) + ": " +
                       e.what());
  }
}

void read_batch_steps(BatchList& batches, const IniFile& ini) {
  batches.clear_batches();
  for (const std::string& key : ini.keys(kSection)) {
    // An entry written as "Name=" has no value: it counts as no steps, like a missing one.
    const std::string text = ini.read(kSection, key, "0");
    // A count the 16-bit step field cannot hold is refused like any other bad number,
    // rather than silently becoming another series.
    const int n = text.empty() ? 0 : parse_integer(text);
    if (n < -32768 || n > 32767) throw VocantaError(quoted(text) + " is not a valid integer value");
    const int16_t id = get_document_batch(batches, key, kSection, key);
    if (tbatchitem* b = batches.find_batch(id)) b->nSteps = static_cast<int16_t>(n);
  }
}

}  // namespace vocanta
