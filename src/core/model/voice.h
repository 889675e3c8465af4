#pragma once

#include <array>
#include <memory>
#include <string>

#include "core/model/batch_list.h"
#include "core/model/build_settings.h"
#include "core/model/curve_state.h"
#include "core/model/model_observer.h"
#include "core/model/parameter_table.h"
#include "core/model/random_generator.h"

namespace vocanta {

// What a voice parameter holds besides its curves: the definition installed from the
// parameter table, the axis texts and the background name.
struct ParameterSetup {
  int16_t paramNumber = 0;
  std::string title, key;
  std::string xLabel, xUnit, yLabel, yUnit;
  std::string xCaption, yCaption;
  bool showDefault = false;
  bool multiCurve = false;
  int16_t xQuantity = 0, yQuantity = 0;
  double xGridStep = 0, xGridOffset = 0;
  double yGridStep = 0, yGridOffset = 0;

  // The texts of the axis edits xminedit, xmaxedit, yminedit and ymaxedit.
  std::string xMin, xMax, yMin, yMax;

  // The background picture's file name; empty for none. A name with "*" marks a
  // picture pasted from the clipboard and not yet saved.
  std::string backgroundFile;
};

// One voice parameter as its window holds it: its setup and its curves.
struct Parameter : ParameterSetup {
  CurveState state;  // holds defaultValue

  int index() const { return paramNumber - 1; }
};

// The whole voice: the 23 parameters, the batches and the random generator, with the
// build settings that are saved with it. Its observers learn of every change.
class Voice {
 public:
  Voice();
  Voice(const Voice&) = delete;
  Voice& operator=(const Voice&) = delete;

  Parameter& parameter(int index) { return params_[static_cast<size_t>(index)]; }
  const Parameter& parameter(int index) const { return params_[static_cast<size_t>(index)]; }
  std::array<Parameter, kParameterCount>& parameters() { return params_; }

  // Finds or creates the batch by name (none for an empty name) and adds the point to
  // curve n of the parameter.
  TCurvePoint* add_point(int index, const std::string& batchName, int16_t n, double x, double y,
                         double batchY, double batchRange);

  ModelEvents events;
  RandomGenerator random;
  BatchList batches{random, events};
  BuildSettings settings;
  // The number of tweenies the tweenie spectrum's curves are laid out for.
  int tweeniesInUse = 1;

 private:
  std::array<Parameter, kParameterCount> params_;
};

// A voice of its own with the same parameters, curves, batches (with their steps and
// states), random generator, settings and tweenie count, told to no observer: a build
// renders such a copy, so that edits made meanwhile wait for the next build.
std::unique_ptr<Voice> copy_voice(const Voice& voice);

// Fills every parameter with its definition, captions and axis ranges; the ranges
// taken from the settings texts are written with the decimal separator of those texts.
void install_parameter_definitions(Voice& voice, char decimalSeparator);

// The core of New: no curves, backgrounds or batches, default settings texts (the
// randomize switch stays) and the definitions installed.
void reset_to_new(Voice& voice);

// The horizontal snap step of the tweenie spectrum for n tweenies.
double tweenie_grid_step(int n);

// Lays the tweenie spectrum out for n rows (n > 0; other counts change nothing): the
// count in use and the snap step that puts new points on the rows.
void use_tweenie_count(Voice& voice, int n);

// The x range of a time-based parameter: 0 .. the duration text.
struct AxisTexts {
  std::string min, max;
};
AxisTexts time_range(const BuildSettings& settings);

// Sets the x ranges of the time-based parameters to the time range.
void set_time_ranges(Voice& voice);

// Names the background picture of a parameter (empty: none) and tells the observers.
// The name alone marks nothing modified: the steps that change a picture do that.
void set_background_file(Voice& voice, int index, std::string file);

}  // namespace vocanta
