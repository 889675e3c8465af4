#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "core/document/batch_steps.h"
#include "core/document/document.h"
#include "core/document/point_text.h"
#include "core/model/voice.h"
#include "core/support/ini_file.h"
#include "core/support/message_text.h"
#include "core/support/number_format.h"
#include "core/support/prompter.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

// The lowest and highest value the points read take, to widen the y range.
struct ValueSpan {
  double lowest = 1e60;
  double highest = -1e60;

  void take(double v) {
    if (v < lowest) lowest = v;
    if (v > highest) highest = v;
  }
};

void read_common(Voice& voice, const IniFile& ini, char sep) {
  BuildSettings& s = voice.settings;
  s.gain = format_number(parse_number(ini.read("Common", "Gain", "-20")), sep);
  s.samplingFrequency =
      format_number(parse_number(ini.read("Common", "SamplingFrequency", "16000")), sep);
  const double duration = parse_number(ini.read("Common", "TotalDuration", "1"));
  s.duration = format_number(duration, sep);
  // No time axis can span a voice of no length; the build refuses such a voice and
  // names its duration, the windows keep the axes they had.
  if (duration > 0) set_time_ranges(voice);
  s.maxHarmonics = ini.read("Common", "MaxHarmonincs", "1000");
  s.tweenies = ini.read("Common", "nTweenies", "1");
  // The curves were drawn for this many rows: let new points snap onto them too.
  int n = 0;
  if (try_parse_integer(s.tweenies, n)) use_tweenie_count(voice, n);
  int randomize = 1;
  s.randomize =
      !try_parse_integer(ini.read("Common", "Randomize", "1"), randomize) || randomize != 0;
  read_batch_steps(voice.batches, ini);
}

bool read_curve_section(Voice& voice, Parameter& p, const IniFile& ini, const std::string& section,
                        int16_t n, ValueSpan& span) {
  const auto keys = ini.keys(section);
  // Linked in at once, so that each point costs no sort of the whole curve; on an error
  // the points before it stay, as they would have one by one.
  std::vector<TCurvePoint> points;
  points.reserve(keys.size());
  try {
    for (const std::string& key : keys) {
      const std::string text = ini.read(section, key, "0");
      TCurvePoint q;
      q.x = parse_number(key);
      const PointText pt = parse_point_value(text);
      q.batch = get_document_batch(voice.batches, pt.batchName, section, key);
      q.y = pt.y;
      q.batchY = pt.batchY;
      q.batchRange = pt.batchRange;
      points.push_back(q);
      span.take(pt.y);
      span.take(pt.batchY);
      span.take(pt.batchY + pt.batchRange);
    }
  } catch (...) {
    add_points(p.state, n, points);
    throw;
  }
  add_points(p.state, n, points);
  return !keys.empty();
}

void widen_y_range(Parameter& p, const ValueSpan& span, char sep) {
  double current = 0;
  if (span.lowest < 1e60 && (!try_parse_number(p.yMin, current, sep) || span.lowest < current))
    p.yMin = format_fixed3(span.lowest, sep);
  if (span.highest > -1e60 && (!try_parse_number(p.yMax, current, sep) || span.highest > current))
    p.yMax = format_fixed3(span.highest, sep);
}

void read_parameter(Voice& voice, Parameter& p, const IniFile& ini, char sep, ReadResult& result) {
  if (ini.has_key("Defaults", p.key))
    p.state.defaultValue = parse_number(ini.read("Defaults", p.key, ""));
  clear_curves(p.state);
  ValueSpan span;
  if (p.multiCurve) {
    for (int16_t n = 1; n < INT16_MAX; ++n)
      if (!read_curve_section(voice, p, ini, p.key + "_" + std::to_string(n), n, span)) break;
  } else {
    read_curve_section(voice, p, ini, p.key, 1, span);
  }
  widen_y_range(p, span, sep);
  const std::string background = ini.read("Backgrounds", p.title, "");
  if (!background.empty()) result.backgrounds.emplace_back(p.index(), background);
}

// Documents before the bandwidth curve held a straight line a + b * f.
void read_bandwidth_coefficients(Voice& voice, const IniFile& ini, char sep) {
  const double a = parse_number(ini.read("Defaults", "FormantBWa", "0"));
  const double b = parse_number(ini.read("Defaults", "FormantBWb", "0"));
  if (a == 0 || b == 0) return;
  const double half = parse_number(voice.settings.samplingFrequency, sep) / 2;
  const double top = a + b * half;
  if (!std::isfinite(top))
    throw VocantaError("FormantBWa=" + format_number(a) + " and FormantBWb=" + format_number(b) +
                       " give a formant bandwidth beyond the largest number");
  clear_curves(voice.parameter(param::kFormantBandwidth).state);
  voice.add_point(param::kFormantBandwidth, "", 1, 0, a, a, 0);
  voice.add_point(param::kFormantBandwidth, "", 1, half, top, top, 0);
}

bool accept_file(const IniFile& ini, const std::string& path, Prompter& prompter,
                 ReadResult& result) {
  if (ini.read("Common", "FileType", "") != kFileType) {
    prompter.message(path + " is not an " + kFileType + " file");
    return false;
  }
  const std::string version = ini.read("Common", "Version", "");
  if (version != kDocumentVersion) {
    const std::string question = path + " version (" + shown_value(version) +
                                 ") does not match this " + kFileType + " version (" +
                                 kDocumentVersion + ") Try anyway?";
    if (prompter.ask_yes_no(question) != Answer::Yes) return false;
    result.versionDiffered = true;
  }
  return true;
}

// What follows the loading, shared by the file and the text form.
void read_loaded(Voice& voice, char sep, const IniFile& ini, const std::string& path,
                 const ReadSelection& selection, Prompter& prompter, ReadResult& result) {
  if (!accept_file(ini, path, prompter, result)) return;
  // The windows follow once, after the whole read (or what of it was done).
  const ModelEvents::Hold hold(voice.events);
  if (selection.takes_common()) read_common(voice, ini, sep);
  for (int i = 0; i < kParameterCount; ++i)
    if (selection.takes(i)) read_parameter(voice, voice.parameter(i), ini, sep, result);
  if (selection.takes(param::kFormantBandwidth)) read_bandwidth_coefficients(voice, ini, sep);
  result.accepted = true;
}

}  // namespace

ReadResult read_document(Voice& voice, char decimalSeparator, const std::string& path,
                         const ReadSelection& selection, Prompter& prompter) {
  ReadResult result;
  read_document(voice, decimalSeparator, path, selection, prompter, result);
  return result;
}

void read_document(Voice& voice, char decimalSeparator, const std::string& path,
                   const ReadSelection& selection, Prompter& prompter, ReadResult& result) {
  IniFile ini;
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  // A folder or a FIFO is no document; opening a FIFO would wait for a writer forever.
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    prompter.message(path + " is not a file");
    return;
  }
  if (!std::filesystem::exists(status) || !ini.load(path)) {
    prompter.message(path + " does not exist");
    return;
  }
  read_loaded(voice, decimalSeparator, ini, path, selection, prompter, result);
}

ReadResult read_document_text(Voice& voice, char decimalSeparator, std::string_view text,
                              const std::string& name, const ReadSelection& selection,
                              Prompter& prompter) {
  ReadResult result;
  read_loaded(voice, decimalSeparator, IniFile(text), name, selection, prompter, result);
  return result;
}

}  // namespace vocanta
