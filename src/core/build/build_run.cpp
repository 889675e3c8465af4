#include "core/build/build_run.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "core/model/voice.h"
#include "core/soundfile/audio_file_sink.h"
#include "core/soundfile/sample_file_sink.h"
#include "core/support/file_paths.h"
#include "core/support/number_format.h"
#include "core/support/vocanta_error.h"
#include "core/synthesis/voice_renderer.h"

namespace vocanta {
namespace {

// Samples per block: the unit of rendering, writing and progress.
constexpr size_t kBlock = 1024;

}  // namespace

int64_t count_product(int64_t a, int64_t b) {
  if (a == 0 || b == 0) return 0;
  return a > kCountLimit / b ? kCountLimit : a * b;
}

int64_t series_samples(int64_t voices, int64_t length) {
  const int64_t samples = count_product(voices, length);
  if (samples < kCountLimit) return samples;
  char size[32];
  std::snprintf(size, sizeof size, "%.3g",
                static_cast<double>(voices) * static_cast<double>(length));
  throw VocantaError("The series has " + std::to_string(voices) + " voices of " +
                     std::to_string(length) + " samples, about " + size +
                     " samples: too many to count or build (at most " +
                     std::to_string(kCountLimit - 1) + ")");
}

std::string line_break_in(const std::string& path) {
  return "The name " + path +
         " holds a line break, which its label file cannot keep; choose another name";
}

BuildRun::BuildRun(Voice& voice, BuildHost& host) : voice_(voice), host_(host) {}

BuildRun::~BuildRun() = default;

void BuildRun::check_idle() const {
  if (running_) throw VocantaError("A build is running; break it or wait until it has finished");
}

void BuildRun::build_voice(const std::string& path) {
  run(path, [&] { render_voice(""); });
}

void BuildRun::check_destination(const std::string& path, bool labelled) const {
  const std::string labels = change_extension(path, ".CSV");
  for (const std::string* document : {&documentPath_, &openDocument_}) {
    if (document->empty()) continue;
    if (same_file(path, *document))
      throw VocantaError("The sample file " + path + " would overwrite the document " + *document +
                         "; choose another name for the sample file");
    if (labelled && same_file(labels, *document))
      throw VocantaError("The label file " + labels + " would overwrite the document " + *document +
                         "; choose another name for the sample file");
  }
  if (labelled && path.find_first_of("\r\n") != std::string::npos)
    throw VocantaError(line_break_in(path));
  if (labelled && same_file(labels, path))
    throw VocantaError("The label file of " + path +
                       " would be the sample file itself; choose a name that does not end in "
                       "\".CSV\"");
}

std::unique_ptr<SampleSink> BuildRun::sink_for(const std::string& path, bool series) const {
  if (const auto format = audio_format_for(path))
    return std::make_unique<AudioFileSink>(path, *format);
  return std::make_unique<SampleFileSink>(path, documentPath_, series);
}

void BuildRun::begin_build(SampleSink& sink, const std::string& path, int64_t seriesVoices) {
  check_idle();
  samplesInFile_ = 0;
  writeFailure_.clear();
  destination_ = path;
  host_.add_statistics_line("---------------------");
  host_.add_statistics_line("Build of " + path + " started");
  startSeconds_ = host_.tick_count() / 1000.0;
  running_ = true;
  sink_ = &sink;
  host_.build_running(true);
  host_.autosave(path);
  const uint32_t seed = hasFixedSeed_ ? fixedSeed_ : host_.clock_seed();
  breakRequested_ = false;
  set_overload_state(OverloadState::Unknown);
  // Before the destination is claimed: refused settings leave an existing file as it was.
  const RenderBatches batches =
      seriesVoices == kPlainBuild ? RenderBatches::Off : RenderBatches::AsStepped;
  prepare_render(voice_, seed, decimalSeparator_, batches, [&](const SynthesisSettings& settings) {
    settings_ = settings;
    tracks_.clear(settings_.fs);
    sink.open();
  });
  rendered_ = copy_voice(voice_);
  series_ = seriesVoices != kPlainBuild;
  start_rendering(seriesVoices);
  sink.begin(SinkFormat{settings_.fs, seriesVoices != kPlainBuild, totalSamples_,
                        seriesVoices == kPlainBuild ? 1 : seriesVoices});
}

void BuildRun::start_rendering(int64_t seriesVoices) {
  samplesComputed_ = 0;
  totalSamples_ = seriesVoices == kPlainBuild
                      ? settings_.samplesPerVoice
                      : count_product(settings_.samplesPerVoice, seriesVoices);
  RenderBreak* check = this;
  renderer_ =
      std::make_unique<VoiceRenderer>(*rendered_, settings_, check, engine_, jobs() == 1 ? 1 : 0);
}

void BuildRun::render_voice(const std::string& label) {
  if (!renderer_ || !sink_) throw std::logic_error("render_voice runs only inside a build");
  if (supply_) return write_supplied(label);
  const int64_t start = samplesInFile_;
  if (recordTracks_) tracks_.record(*rendered_, start, settings_.samplesPerVoice);
  renderer_->start();
  voiceGain_.reset();
  if (levelTarget_)
    render_matched(label);
  else
    while (renderer_->samples_left() > 0 && !breakRequested_)
      if (!render_block()) break;
  sink_->voice_done(start, samplesInFile_ - start, label);
}

void BuildRun::render_matched(const std::string& label) {
  VoiceValues values(levelMemory_);
  LevelMeter meter;
  std::array<double, kBlock> block;
  while (renderer_->samples_left() > 0 && !breakRequested_) {
    const size_t count = renderer_->render_values(block.data(), block.size());
    if (count == 0) break;
    samplesComputed_ += static_cast<int64_t>(count);
    values.append(block.data(), count);
    meter.add(block.data(), count);
    show_progress(static_cast<double>(std::max<int64_t>(renderer_->position() - 1, 0)) /
                  settings_.fs);
  }
  // A voice cut short by a break is matched by what there is of it.
  const double gain = meter.gain_dB(*levelTarget_);
  voiceGain_ = gain;
  values.rewind();
  const int64_t clipped = write_matched(values, gain);
  if (clipped == 0) return;
  if (overloadState_ != OverloadState::Clipped) set_overload_state(OverloadState::Clipped);
  host_.voice_overload(label, clipped, gain);
}

int64_t BuildRun::write_matched(VoiceValues& values, double gainDb) {
  const double factor = std::pow(10.0, gainDb / 20);
  std::array<double, kBlock> block;
  std::array<int16_t, kBlock> samples;
  int64_t clipped = 0;
  for (size_t count; (count = values.read(block.data(), block.size())) > 0;) {
    for (size_t i = 0; i < count; ++i) samples[i] = matched_sample(block[i], factor, clipped);
    if (!store(samples.data(), count)) break;
  }
  return clipped;
}

bool BuildRun::store(const int16_t* samples, size_t count) {
  const size_t stored = sink_->write(samples, count);
  samplesInFile_ += static_cast<int64_t>(stored);
  if (stored != count && writeFailure_.empty()) {
    writeFailure_ = sink_->write_failure();
    if (writeFailure_.empty()) writeFailure_ = "Cannot write all samples";
  }
  return stored == count;
}

void BuildRun::pass_voice() {
  if (!renderer_) throw std::logic_error("pass_voice runs only inside a build");
  if (supply_) return;  // the series' threads warm their own renderers up
  std::array<int16_t, kBlock> block;
  renderer_->start();
  while (renderer_->samples_left() > 0 && !breakRequested_)
    if (renderer_->render(block.data(), block.size()) == 0) break;
}

// Returns false when the sink kept fewer samples than it was given.
bool BuildRun::render_block() {
  std::array<int16_t, kBlock> block;
  const size_t count = renderer_->render(block.data(), block.size());
  samplesComputed_ += static_cast<int64_t>(count);
  if (renderer_->clipped() && overloadState_ != OverloadState::Clipped)
    set_overload_state(OverloadState::Clipped);
  const bool kept = store(block.data(), count);
  const double fs = settings_.fs;
  // A block cut short by a break may hold no sample at all.
  show_progress(static_cast<double>(std::max<int64_t>(renderer_->position() - 1, 0)) / fs);
  return kept;
}

void BuildRun::finish_sink() {
  if (sink_) {
    sink_->finish();
    // An audio file is made as the build finishes, so its failure comes only now.
    if (writeFailure_.empty()) writeFailure_ = sink_->write_failure();
  }
  sink_ = nullptr;
  renderer_.reset();
  release_copy();
}

void BuildRun::release_copy() {
  if (!rendered_) return;
  voice_.random.seed = rendered_->random.seed;
  if (series_) voice_.batches.take_states(rendered_->batches);
  rendered_.reset();
}

void BuildRun::end_build() {
  finish_sink();
  if (overloadState_ != OverloadState::Clipped)
    set_overload_state(breakRequested_ ? OverloadState::Unknown : OverloadState::Clear);
  host_.build_running(false);
  if (breakRequested_)
    outcome_ = BuildOutcome::Break;
  else if (!failed_ && writeFailure_.empty() && samplesInFile_ == totalSamples_)
    outcome_ = BuildOutcome::Done;
  else
    outcome_ = BuildOutcome::NotComplete;
  host_.outcome(outcome_);
  if (!writeFailure_.empty()) host_.add_statistics_line(writeFailure_);
  host_.add_statistics_line(std::string(logged_text(outcome_)));
  endSeconds_ = host_.tick_count() / 1000.0;
  if (endSeconds_ - startSeconds_ > 15) host_.beep();
  host_.add_statistics_line("Build took " +
                            format_fixed3(endSeconds_ - startSeconds_, decimalSeparator_) + "s");
  host_.build_finished();
  running_ = false;
}

void BuildRun::finish_after_error() {
  if (!running_) return;
  // The counts may match by chance (a stale total when the start failed, or a label
  // line lost after the last sample); a build cut short by an error is never "Done!".
  failed_ = true;
  if (sink_) sink_->abandon();
  try {
    end_build();
  } catch (...) {
    // The first error is the one the user must see; the run is idle again either way.
  }
  failed_ = false;
  finish_sink();
  running_ = false;
}

std::string BuildRun::percent_text() const {
  const double percent = totalSamples_ > 0 ? 100.0 * samplesComputed_ / totalSamples_ : 0;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%05.2f%%", percent);
  std::string text = buf;
  for (char& c : text)
    if (c == '.') c = decimalSeparator_;
  return text;
}

bool BuildRun::show_progress(double t) {
  const uint32_t now = host_.tick_count();
  // Elapsed times in modular arithmetic survive the wrap of the tick counter; a
  // lastRefresh of 0 means there has been no refresh yet.
  const auto cost20 = static_cast<uint32_t>(std::lround(avgRefreshCost_ * 20));
  if (lastRefresh_ == 0 || now - lastRefresh_ > cost20) {
    host_.refresh_progress(t, percent_text());
    lastRefresh_ = now;
    const uint32_t cost = host_.tick_count() - now;
    avgRefreshCost_ = std::max(5.0, 0.2 * cost + 0.8 * avgRefreshCost_);
  }
  if (now - lastRefresh_ <= 50) return false;
  host_.process_events();
  return true;
}

RenderBreak::Answer BuildRun::break_now(double t) {
  const bool events = show_progress(t);
  if (breakRequested_) return Answer::kStop;
  return events ? Answer::kGoOnAfterEvents : Answer::kGoOn;
}

void BuildRun::set_overload_state(OverloadState state) {
  overloadState_ = state;
  host_.overload_state(state);
}

}  // namespace vocanta
