#include <algorithm>
#include <vector>

#include "core/document/document.h"
#include "core/model/voice.h"
#include "core/support/vocanta_error.h"
#include "fuzz_check.h"
#include "fuzz_document.h"

using namespace vocanta;
using vocanta::fuzz::read_into;
using vocanta::fuzz::require;

namespace {

// Reading puts each batch at the head of the chain, so every generation lists the
// batches in the reverse order of the one before.
std::string with_batch_steps_reversed(std::string_view text) {
  std::vector<std::string_view> lines;
  for (size_t at = 0, end; at < text.size(); at = end + 2) {
    end = std::min(text.find("\r\n", at), text.size());
    lines.push_back(text.substr(at, end - at));
  }
  const auto first = std::find(lines.begin(), lines.end(), "[BatchSteps]");
  if (first != lines.end()) {
    const auto after =
        std::find_if(first + 1, lines.end(), [](std::string_view l) { return l.starts_with('['); });
    std::reverse(first + 1, after);
  }
  std::string out;
  for (const std::string_view l : lines) (out += l) += "\r\n";
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Voice voice;
  std::string written;
  try {
    if (!read_into(voice, vocanta::fuzz::as_text(data, size))) return 0;
    written = compose_document(voice, '.');
  } catch (const VocantaError&) {
    return 0;
  }
  // What the program wrote it must read back whole, and write the same again.
  Voice reread;
  try {
    require(read_into(reread, written), "a written document is accepted");
  } catch (const VocantaError&) {
    require(false, "a written document reads without an error");
  }
  require(compose_document(reread, '.') == with_batch_steps_reversed(written),
          "a written document reads back the same");
  return 0;
}
