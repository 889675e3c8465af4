#include <algorithm>
#include <cerrno>
#include <cmath>
#include <initializer_list>
#include <string>

#include "core/document/batch_steps.h"
#include "core/document/document.h"
#include "core/document/point_text.h"
#include "core/model/voice.h"
#include "core/support/atomic_file.h"
#include "core/support/ini_file.h"
#include "core/support/message_text.h"
#include "core/support/number_format.h"
#include "core/support/vocanta_error.h"

namespace vocanta {
namespace {

std::string curve_section(const Parameter& p, const TCurve& k) {
  return p.multiCurve ? p.key + "_" + std::to_string(k.number) : p.key;
}

void write_background(const Parameter& p, IniFile& ini, bool dropped) {
  // Still pasted: the user cancelled the save dialog, and the document names no file.
  if ((p.backgroundFile.empty() && !dropped) || p.backgroundFile.find('*') != std::string::npos)
    return;
  ini.write("Backgrounds", p.title, p.backgroundFile);
}

// "INF" or "NAN" in a document would make the reader refuse all of it.
void check_finite(const Parameter& p, std::initializer_list<double> values) {
  for (const double v : values)
    if (!std::isfinite(v))
      throw VocantaError(p.title + " holds the value " + format_number(v) +
                         ", which a document cannot keep");
}

void write_parameter(const Voice& voice, const Parameter& p, IniFile& ini, bool dropped) {
  check_finite(p, {p.state.defaultValue});
  ini.write("Defaults", p.key, format_number(p.state.defaultValue));
  write_background(p, ini, dropped);
  for (const TCurve* k = p.state.curves; k; k = k->next) {
    const std::string section = curve_section(p, *k);
    for (const TCurvePoint* q = k->points; q; q = q->next) {
      check_finite(p, {q->x, q->y, q->batchY, q->batchRange});
      ini.write(section, format_number(q->x),
                format_point_text(*q, voice.batches.batch_name(q->batch)));
    }
  }
}

// The whole-number settings are written as typed but for blanks at the ends, which the
// reader drops; a line break would split the entry.
std::string settings_text(const std::string& text) {
  if (text.find_first_of("\r\n") != std::string::npos)
    throw VocantaError(quoted(text) + " is not a valid integer value");
  return std::string(trim_blanks(text));
}

}  // namespace

std::string compose_document(const Voice& voice, char decimalSeparator,
                             const std::vector<int>& droppedPictures) {
  // Every conversion happens before the file is touched, so that a bad settings text
  // leaves the previous document as it was.
  const BuildSettings& s = voice.settings;
  const char sep = decimalSeparator;
  IniFile ini;
  ini.write("Common", "Filetype", kFileType);
  ini.write("Common", "Version", kDocumentVersion);
  ini.write("Common", "Gain", format_number(parse_number(s.gain, sep)));
  ini.write("Common", "SamplingFrequency", format_number(parse_number(s.samplingFrequency, sep)));
  ini.write("Common", "TotalDuration", format_number(parse_number(s.duration, sep)));
  ini.write("Common", "MaxHarmonincs", settings_text(s.maxHarmonics));
  ini.write("Common", "nTweenies", settings_text(s.tweenies));
  ini.write("Common", "Randomize", s.randomize ? "1" : "0");
  write_batch_steps(voice.batches, ini);
  for (int i = 0; i < kParameterCount; ++i) {
    const bool dropped =
        std::find(droppedPictures.begin(), droppedPictures.end(), i) != droppedPictures.end();
    write_parameter(voice, voice.parameter(i), ini, dropped);
  }
  return ini.text();
}

void write_document(const Voice& voice, char decimalSeparator, const std::string& path) {
  const std::string text = compose_document(voice, decimalSeparator);
  if (!write_file_atomically(path, text)) throw VocantaError(unable_to_write(path, errno));
}

}  // namespace vocanta
