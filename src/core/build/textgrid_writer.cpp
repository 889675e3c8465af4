#include "core/build/textgrid_writer.h"

#include "core/support/number_format.h"

namespace vocanta {
namespace {

std::string seconds(int64_t samples, int32_t fs) {
  return format_round_trip(static_cast<double>(samples) / static_cast<double>(fs));
}

}  // namespace

std::string textgrid_string(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string textgrid_text(const std::vector<LabelledStretch>& stretches,
                          int32_t samplingFrequency) {
  const int64_t first = stretches.empty() ? 0 : stretches.front().start;
  const int64_t end = stretches.empty() ? 0 : stretches.back().start + stretches.back().length;
  const std::string xmin = seconds(first, samplingFrequency);
  const std::string xmax = seconds(end, samplingFrequency);
  std::string t = "File type = \"ooTextFile\"\nObject class = \"TextGrid\"\n\n";
  t += "xmin = " + xmin + " \nxmax = " + xmax + " \ntiers? <exists> \nsize = 1 \nitem []: \n";
  t += "    item [1]:\n        class = \"IntervalTier\" \n        name = \"voices\" \n";
  t += "        xmin = " + xmin + " \n        xmax = " + xmax + " \n";
  t += "        intervals: size = " + std::to_string(stretches.size()) + " \n";
  for (size_t i = 0; i < stretches.size(); ++i) {
    const LabelledStretch& s = stretches[i];
    t += "        intervals [" + std::to_string(i + 1) + "]:\n";
    t += "            xmin = " + seconds(s.start, samplingFrequency) + " \n";
    t += "            xmax = " + seconds(s.start + s.length, samplingFrequency) + " \n";
    t += "            text = " + textgrid_string(s.label) + " \n";
  }
  return t;
}

}  // namespace vocanta
