#include "core/model/voice.h"

#include <utility>

#include "core/support/number_format.h"

namespace vocanta {

// A named string sidesteps a false -Wrestrict warning of GCC 12 on assigning "0".
static const std::string kZeroText = "0";

Voice::Voice() {
  for (int i = 0; i < kParameterCount; ++i) {
    Parameter& p = params_[static_cast<size_t>(i)];
    p.paramNumber = static_cast<int16_t>(i + 1);
    p.state.batches = &batches;
    p.state.events = &events;
    p.state.index = i;
  }
}

TCurvePoint* Voice::add_point(int index, const std::string& batchName, int16_t n, double x,
                              double y, double batchY, double batchRange) {
  const int16_t id = batches.get_batch(batchName);
  return vocanta::add_point(parameter(index).state, id, n, x, y, batchY, batchRange);
}

std::unique_ptr<Voice> copy_voice(const Voice& voice) {
  auto copy = std::make_unique<Voice>();
  for (int i = 0; i < kParameterCount; ++i) {
    const Parameter& from = voice.parameter(i);
    Parameter& to = copy->parameter(i);
    static_cast<ParameterSetup&>(to) = from;
    to.state.defaultValue = from.state.defaultValue;
    copy_curves(to.state, from.state);
  }
  copy->random.seed = voice.random.seed;
  copy->batches.copy_from(voice.batches);
  copy->settings = voice.settings;
  copy->tweeniesInUse = voice.tweeniesInUse;
  return copy;
}

double tweenie_grid_step(int n) {
  // In floating point: n + 1 leaves the int range for the largest count a document holds.
  return 1.0 / (static_cast<double>(n) + 1);
}

void use_tweenie_count(Voice& voice, int n) {
  if (n <= 0) return;
  voice.tweeniesInUse = n;
  voice.parameter(param::kTweenieSpectrum).xGridStep = tweenie_grid_step(n);
}

AxisTexts time_range(const BuildSettings& settings) {
  return {kZeroText, settings.duration};
}

namespace {

void install_one(Voice& voice, int index, char decimalSeparator) {
  const ParameterDefinition& d = kParameterTable[static_cast<size_t>(index)];
  Parameter& p = voice.parameter(index);
  p.title = d.title;
  p.xLabel = d.xLabel;
  p.xUnit = d.xUnit;
  p.yLabel = d.yLabel;
  p.yUnit = d.yUnit;
  const bool partialAxis = d.xQuantity == quantity::kPartialNumber;
  p.xCaption = partialAxis ? std::string(d.xLabel) : p.xLabel + "[" + p.xUnit + "]";
  p.yCaption = p.yLabel + "[" + p.yUnit + "]";
  p.yMin = d.yMin;
  p.yMax = d.yMax;
  switch (d.xRange) {
    case XRange::Duration: {
      const AxisTexts range = time_range(voice.settings);
      p.xMin = range.min;
      p.xMax = range.max;
      break;
    }
    case XRange::HalfSampleRate:
      p.xMin = kZeroText;
      p.xMax = format_number(parse_number(voice.settings.samplingFrequency, decimalSeparator) / 2,
                             decimalSeparator);
      break;
    case XRange::Fixed:
      p.xMin = d.xMin;
      p.xMax = d.xMax;
      break;
  }
  p.state.defaultValue = d.defaultValue;
  p.showDefault = d.showDefault;
  p.multiCurve = d.multiCurve;
  p.xQuantity = d.xQuantity;
  p.yQuantity = d.yQuantity;
  p.xGridStep = d.xGridStep;
  p.xGridOffset = d.xGridOffset;
  p.yGridStep = 0;
  p.yGridOffset = 0;
  p.key = d.key;
}

}  // namespace

void install_parameter_definitions(Voice& voice, char decimalSeparator) {
  for (int i = 0; i < kParameterCount; ++i)
    voice.parameter(i).paramNumber = static_cast<int16_t>(i + 1);
  for (int index : kInstallOrder) install_one(voice, index, decimalSeparator);
}

void reset_to_new(Voice& voice) {
  for (Parameter& p : voice.parameters()) {
    clear_curves(p.state);
    p.backgroundFile.clear();
  }
  voice.settings.reset_texts();
  voice.tweeniesInUse = 1;
  // The default settings texts are whole numbers, written alike with either separator.
  install_parameter_definitions(voice, '.');
  voice.batches.clear_batches();
}

void set_time_ranges(Voice& voice) {
  for (Parameter& p : voice.parameters())
    if (p.xQuantity == quantity::kTime) {
      const AxisTexts range = time_range(voice.settings);
      p.xMin = range.min;
      p.xMax = range.max;
    }
}

void set_background_file(Voice& voice, int index, std::string file) {
  voice.parameter(index).backgroundFile = std::move(file);
  voice.events.notify({ModelChange::Kind::Background, index});
}

}  // namespace vocanta
