#include "gui/main/settings_dialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/model/curve_state.h"
#include "core/model/voice.h"
#include "core/support/number_format.h"
#include "gui/platform/settings_store.h"

namespace vocanta {
namespace {

QLineEdit* add_field(QFormLayout* form, const char* name, const QString& label) {
  auto* edit = new QLineEdit;
  edit->setObjectName(name);
  auto* caption = new QLabel(label);
  caption->setBuddy(edit);  // the access key of the label moves to its field
  form->addRow(caption, edit);
  return edit;
}

QCheckBox* add_box(QVBoxLayout* layout, const char* name, const QString& label) {
  auto* box = new QCheckBox(label);
  box->setObjectName(name);
  layout->addWidget(box);
  return box;
}

}  // namespace

TForm10::TForm10(Voice& voice, SettingsHost& host, TIni& store, QWidget* parent)
    : QDialog(parent), voice_(voice), host_(host), store_(store) {
  setObjectName("TForm10");
  setWindowTitle("Settings");
  // A fixed frame with a close box only: no minimise, maximise or help buttons.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  create_controls();
  connect_controls();
  sync_from_model();
}

void TForm10::create_controls() {
  auto* form = new QFormLayout;
  gainedit = add_field(form, "gainedit", "&Gain [dB]");
  tottimeedit = add_field(form, "tottimeedit", "Voice &duration [s]");
  sftotedit = add_field(form, "sftotedit", "Sampling &frequency [Hz]");
  nharmedit = add_field(form, "nharmedit", "&Max # of harmonics");
  ntweeniesedit = add_field(form, "ntweeniesedit", "# of subharmonic &tweenies");

  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addLayout(form);
  autosavebox = add_box(layout, "autosavebox", "&Autosave VTA file");
  autosavebox->setChecked(true);  // the option's default until the store is read
  randomcheck = add_box(layout, "randomcheck", "&Randomize each voice");

  okbutton = new QPushButton("&Ok");
  okbutton->setObjectName("okbutton");
  okbutton->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okbutton);
  layout->addLayout(buttons);
}

void TForm10::connect_controls() {
  const auto text_into = [this](QLineEdit* edit, std::string BuildSettings::*field) {
    connect(edit, &QLineEdit::textEdited, this,
            [this, field](const QString& text) { voice_.settings.*field = text.toStdString(); });
  };
  text_into(gainedit, &BuildSettings::gain);
  text_into(tottimeedit, &BuildSettings::duration);
  text_into(sftotedit, &BuildSettings::samplingFrequency);
  text_into(nharmedit, &BuildSettings::maxHarmonics);
  text_into(ntweeniesedit, &BuildSettings::tweenies);
  connect(randomcheck, &QCheckBox::toggled, this,
          [this](bool on) { voice_.settings.randomize = on; });
  // Only the user's clicks: set_autosave stores the option itself.
  connect(autosavebox, &QCheckBox::clicked, this, [this] { store_autosave(); });
  connect(okbutton, &QPushButton::clicked, this, [this] { ok_steps(); });
}

void TForm10::sync_from_model() {
  const BuildSettings& s = voice_.settings;
  gainedit->setText(QString::fromStdString(s.gain));
  tottimeedit->setText(QString::fromStdString(s.duration));
  sftotedit->setText(QString::fromStdString(s.samplingFrequency));
  nharmedit->setText(QString::fromStdString(s.maxHarmonics));
  ntweeniesedit->setText(QString::fromStdString(s.tweenies));
  const QSignalBlocker quiet(randomcheck);
  randomcheck->setChecked(s.randomize);
}

void TForm10::set_autosave(bool on) {
  {
    const QSignalBlocker quiet(autosavebox);
    autosavebox->setChecked(on);
  }
  store_autosave();
}

bool TForm10::autosave() const {
  return autosavebox->isChecked();
}

void TForm10::store_autosave() {
  store_.WriteBool("Common", "Autosave", autosavebox->isChecked());
}

void TForm10::ok_steps() {
  apply_tweenie_count();
  const double duration = parse_number(voice_.settings.duration, voice_.decimalSeparator);
  host_.set_voice_duration(duration);
  set_time_ranges(voice_);
  host_.time_ranges_changed();
  accept();
}

void TForm10::apply_tweenie_count() {
  const int n = parse_integer(voice_.settings.tweenies);
  // Points placed for another number of rows no longer sit on the rows, so a new
  // count starts the tweenie spectrum afresh.
  if (n <= 0 || n == voice_.tweeniesInUse) return;
  voice_.tweeniesInUse = n;
  Parameter& spectrum = voice_.parameter(param::kTweenieSpectrum);
  clear_curves(spectrum.state);
  spectrum.xGridStep = tweenie_grid_step(n);
  host_.tweenies_changed();
}

void TForm10::showEvent(QShowEvent* event) {
  sync_from_model();
  QDialog::showEvent(event);
}

}  // namespace vocanta
