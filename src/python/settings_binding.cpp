#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "core/model/edit_commands.h"
#include "core/model/voice.h"
#include "core/support/number_format.h"
#include "core/support/vocanta_error.h"
#include "core/synthesis/synthesis_settings.h"
#include "python/voice_handle.h"

namespace vocanta::python {
namespace {

using Field = std::string BuildSettings::*;

// The settings are texts, as the settings dialog holds them: a number is written as the
// program writes numbers, a str is taken as typed.
std::string setting_text(const py::object& value) {
  if (py::isinstance<py::str>(value)) return value.cast<std::string>();
  if (py::isinstance<py::bool_>(value)) throw py::type_error("a setting is a number or its text");
  if (py::isinstance<py::int_>(value)) return py::str(value).cast<std::string>();
  if (py::isinstance<py::float_>(value)) return format_number(value.cast<double>());
  throw py::type_error("a setting is a number or its text");
}

// The check of the settings dialog's Ok for one field: the conversion message with the
// field named in front.
void check_field(const char* name, const std::function<void()>& convert) {
  try {
    convert();
  } catch (const VocantaError& e) {
    raise_error(std::string(name) + ": " + e.what());
  }
}

// A voice of no length is refused as the dialog refuses it.
void check_length(const BuildSettings& s) {
  check_field("Sampling frequency [Hz]", [&] { parse_number(s.samplingFrequency); });
  const double duration = parse_number(s.duration);
  refuse_voice_length(std::nearbyint(parse_number(s.samplingFrequency)), duration,
                      s.samplingFrequency, s.duration);
}

void check_settings(const BuildSettings& s, Field field) {
  if (field == &BuildSettings::gain) check_field("Gain [dB]", [&] { parse_number(s.gain); });
  if (field == &BuildSettings::maxHarmonics)
    check_field("Max # of harmonics", [&] { parse_integer(s.maxHarmonics); });
  if (field == &BuildSettings::tweenies)
    check_field("# of subharmonic tweenies", [&] { parse_integer(s.tweenies); });
  if (field == &BuildSettings::samplingFrequency || field == &BuildSettings::duration)
    check_length(s);
}

// Takes the new text through the dialog's steps: the setting, then a new tweenie count
// or the time axes that follow the duration.
void set_setting(VoiceHandle& h, Field field, const py::object& value) {
  BuildSettings after = h.voice.settings;
  after.*field = setting_text(value);
  check_settings(after, field);
  h.apply(std::make_unique<SettingsCommand>(h.voice.settings, after));
  int count = 0;
  if (field == &BuildSettings::tweenies && tweenie_count_changes(h.voice, count))
    h.apply(std::make_unique<TweenieCountCommand>(count));
  if (field == &BuildSettings::duration) h.apply(std::make_unique<TimeAxesCommand>());
}

template <typename Get>
void def_setting(py::class_<VoiceHandle, VoicePtr>& voice, const char* name, Field field, Get get,
                 const char* doc) {
  voice.def_property(
      name, [field, get](const VoiceHandle& h) { return get(h.voice.settings.*field); },
      [field](VoiceHandle& h, const py::object& v) { set_setting(h, field, v); }, doc);
}

}  // namespace

void bind_settings(py::class_<VoiceHandle, VoicePtr>& voice) {
  const auto number = [](const std::string& t) { return parse_number(t); };
  const auto integer = [](const std::string& t) { return parse_integer(t); };
  def_setting(voice, "gain", &BuildSettings::gain, number, "The gain in dB (Gain [dB]).");
  def_setting(voice, "duration", &BuildSettings::duration, number,
              "The voice duration in seconds; the time axes follow it.");
  def_setting(
      voice, "sampling_frequency", &BuildSettings::samplingFrequency,
      [](const std::string& t) { return static_cast<int>(std::nearbyint(parse_number(t))); },
      "The sampling frequency in Hz, as the build rounds it (1 to 768000).");
  def_setting(voice, "max_harmonics", &BuildSettings::maxHarmonics, integer,
              "The maximum number of harmonics (Max # of harmonics).");
  def_setting(voice, "tweenies", &BuildSettings::tweenies, integer,
              "The number of subharmonic tweenies; a new count clears the tweenie spectrum.");
  voice.def_property(
      "randomize", [](const VoiceHandle& h) { return h.voice.settings.randomize; },
      [](VoiceHandle& h, bool on) {
        BuildSettings after = h.voice.settings;
        after.randomize = on;
        h.apply(std::make_unique<SettingsCommand>(h.voice.settings, after));
      },
      "Randomize each voice: a build draws from a seed (render's seed, or the clock).");
  voice.def_property_readonly(
      "settings_text",
      [](const VoiceHandle& h) {
        const BuildSettings& s = h.voice.settings;
        py::dict d;
        d["gain"] = s.gain;
        d["duration"] = s.duration;
        d["sampling_frequency"] = s.samplingFrequency;
        d["max_harmonics"] = s.maxHarmonics;
        d["tweenies"] = s.tweenies;
        return d;
      },
      "The settings as the document stores them, texts as typed.");
}

}  // namespace vocanta::python
