#include "core/synthesis/build_run.h"

#include <cmath>
#include <limits>

#include "core/model/voice.h"
#include "core/support/file_paths.h"
#include "core/support/number_format.h"
#include "core/support/vocanta_error.h"
#include "core/synthesis/sample_header.h"

namespace vocanta {
namespace {

// Ties to even, as the sample count and the sampling frequency are rounded.
double round_even(double v) {
  return std::nearbyint(v);
}

}  // namespace

SynthesisSettings read_synthesis_settings(const Voice& voice) {
  const BuildSettings& t = voice.settings;
  const char sep = voice.decimalSeparator;
  SynthesisSettings s;
  const double fs = round_even(parse_number(t.samplingFrequency, sep));
  if (!(fs <= std::numeric_limits<int32_t>::max() && fs >= std::numeric_limits<int32_t>::min()))
    throw VocantaError("The sampling frequency " + t.samplingFrequency + " is out of range");
  s.fs = static_cast<int32_t>(fs);
  s.duration = parse_number(t.duration, sep);
  s.maxHarmonics = parse_integer(t.maxHarmonics);
  s.tweenies = parse_integer(t.tweenies);
  s.gain = std::pow(10.0, parse_number(t.gain, sep) / 20);
  s.randomize = t.randomize;
  const double total = round_even(s.fs * s.duration);
  // A sample file holds at most 2^31 - 1 samples; a negative duration renders nothing.
  if (!(total <= std::numeric_limits<int32_t>::max()))
    throw VocantaError("A voice of " + t.duration + " s at " + t.samplingFrequency +
                       " Hz has more samples than a sample file can hold");
  s.samplesPerVoice = total > 0 ? static_cast<int64_t>(total) : 0;
  return s;
}

BuildRun::~BuildRun() {
  close_sample_file();
}

void BuildRun::check_idle() const {
  if (running) throw VocantaError("A build is running; break it or wait until it has finished");
}

void BuildRun::build_voice(const std::string& path) {
  // Refused before anything is reset: the counts belong to the build that runs.
  check_idle();
  labelled = false;
  samplesInFile = 0;
  run(path, [&] {
    voice_.batches.deactivate_batches();
    render_voice("");
  });
}

void BuildRun::begin_build(const std::string& path) {
  check_idle();
  host_.add_statistics_line("---------------------");
  host_.add_statistics_line("Build of " + path + " started");
  labelPath_ = change_extension(path, ".CSV");
  startSeconds = host_.tick_count() / 1000.0;
  running = true;
  host_.build_running(true);
  host_.autosave(path);
  voice_.random.seed =
      voice_.settings.randomize ? (hasFixedSeed_ ? fixedSeed_ : host_.clock_seed()) : 0;
  breakRequested = false;
  set_overload_state(2);
  if (std::FILE* f = std::fopen(path.c_str(), "wb"))
    std::fclose(f);
  else
    throw VocantaError("Cannot create " + path);
  settings_ = read_synthesis_settings(voice_);
  if (settings_.tweenies > 0) voice_.tweeniesInUse = settings_.tweenies;
  samplesComputed = 0;
  totalSamples = settings_.samplesPerVoice;
  write_header(path);
  sampleFile_ = std::fopen(path.c_str(), "r+b");
  if (!sampleFile_ || std::fseek(sampleFile_, 1024, SEEK_SET) != 0)
    throw VocantaError("Cannot write to " + path);
  // Unbuffered, so that a block that does not fit on the disk shows as a short write.
  std::setvbuf(sampleFile_, nullptr, _IONBF, 0);
  if (labelled) {
    std::FILE* f = std::fopen(labelPath_.c_str(), "wb");
    if (!f) throw VocantaError("Cannot create " + labelPath_);
    const std::string first = path + "\r\n";
    const bool ok = std::fwrite(first.data(), 1, first.size(), f) == first.size();
    if (std::fclose(f) != 0 || !ok) throw VocantaError("Cannot write to " + labelPath_);
  }
}

void BuildRun::write_header(const std::string& path) {
  thead h;
  h.set_file_name(path);
  h.set("file", "samp");
  h.set("sftot", std::to_string(settings_.fs));
  h.set("nchans", "1");
  h.set("msb", "last");
  if (labelled) h.set("labels", labelPath_);
  h.add_proc("Vocanta " + documentPath_);
  // A header that cannot be written still leaves the samples at byte 1024.
  h.write();
}

void BuildRun::append_label(int64_t start, int64_t count, const std::string& label) {
  std::FILE* f = std::fopen(labelPath_.c_str(), "ab");
  if (!f) throw VocantaError("Cannot write to " + labelPath_);
  const std::string line =
      std::to_string(start) + "," + std::to_string(count) + "," + label + "\r\n";
  const bool ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
  if (std::fclose(f) != 0 || !ok) throw VocantaError("Cannot write to " + labelPath_);
}

void BuildRun::close_sample_file() {
  if (sampleFile_) std::fclose(sampleFile_);
  sampleFile_ = nullptr;
}

void BuildRun::end_build() {
  close_sample_file();
  if (overloadState != 1) set_overload_state(breakRequested ? 2 : 0);
  host_.build_running(false);
  std::string statistics;
  if (breakRequested) {
    outcome_ = statistics = "Break!";
  } else if (!failed_ && samplesInFile == totalSamples) {
    outcome_ = "Done!";
    statistics = "Done";
  } else {
    outcome_ = "Not complete";
    statistics = "Not Complete";
  }
  loggedOutcome_ = statistics;
  host_.outcome(outcome_);
  host_.add_statistics_line(statistics);
  endSeconds = host_.tick_count() / 1000.0;
  if (endSeconds - startSeconds > 15) host_.beep();
  host_.add_statistics_line(
      "Build took " + format_fixed3(endSeconds - startSeconds, voice_.decimalSeparator) + "s");
  host_.build_finished();
  running = false;
}

void BuildRun::finish_after_error() {
  if (!running) return;
  // The counts may match by chance (a stale total when the start failed, or a label
  // line lost after the last sample); a build cut short by an error is never "Done!".
  failed_ = true;
  try {
    end_build();
  } catch (...) {
    // The first error is the one the user must see; the run is idle again either way.
  }
  failed_ = false;
  close_sample_file();
  running = false;
}

std::string BuildRun::percent_text() const {
  const double percent = totalSamples > 0 ? 100.0 * samplesComputed / totalSamples : 0;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%05.2f%%", percent);
  std::string text = buf;
  for (char& c : text)
    if (c == '.') c = voice_.decimalSeparator;
  return text;
}

void BuildRun::show_progress(double t) {
  const uint32_t now = host_.tick_count();
  // Elapsed times in modular arithmetic survive the wrap of the tick counter; a
  // lastRefresh of 0 means there has been no refresh yet.
  const auto cost20 = static_cast<uint32_t>(std::lround(avgRefreshCost * 20));
  if (lastRefresh == 0 || now - lastRefresh > cost20) {
    host_.refresh_progress(t, percent_text());
    lastRefresh = now;
    const uint32_t cost = host_.tick_count() - now;
    avgRefreshCost = std::max(5.0, 0.2 * cost + 0.8 * avgRefreshCost);
  }
  if (now - lastRefresh > 50) host_.process_events();
}

void BuildRun::set_overload_state(int state) {
  overloadState = state;
  host_.overload_state(state);
}

}  // namespace vocanta
