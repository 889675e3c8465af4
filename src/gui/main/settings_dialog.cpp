#include "gui/main/settings_dialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cmath>
#include <string>

#include "core/document/session.h"
#include "core/model/edit_commands.h"
#include "core/model/voice.h"
#include "core/support/number_format.h"
#include "core/support/vocanta_error.h"
#include "core/synthesis/synthesis_settings.h"
#include "gui/platform/error_report.h"
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

// Refuses the field's text with the conversion message, the field named in front, and
// puts the caret there: the build that would report it later does not say which field.
void check_field(QLineEdit* field, const char* name, const std::function<void()>& convert) {
  try {
    convert();
  } catch (const VocantaError& e) {
    field->setFocus();
    field->selectAll();
    throw VocantaError(std::string(name) + ": " + e.what());
  }
}

}  // namespace

SettingsDialog::SettingsDialog(Session& session, SettingsStore& store, QWidget* parent)
    : QDialog(parent), session_(session), store_(store) {
  setObjectName("TForm10");
  setWindowTitle("Settings");
  // A fixed frame with a close box only: no minimise, maximise or help buttons.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  create_controls();
  connect_controls();
  sync_from_model();
  session_.voice().events.add(this);
}

SettingsDialog::~SettingsDialog() {
  session_.voice().events.remove(this);
}

void SettingsDialog::model_changed(const ModelChange& change) {
  // The dialog's own edits are shown already; rewriting the field would move the caret.
  if (editing_) return;
  if (change.kind == ModelChange::Kind::Settings || change.kind == ModelChange::Kind::Everything)
    sync_from_model();
}

void SettingsDialog::edit(const std::function<void(BuildSettings&)>& change) {
  BuildSettings after = session_.voice().settings;
  change(after);
  const QScopedValueRollback<bool> quiet(editing_, true);
  session_.apply(std::make_unique<SettingsCommand>(session_.voice().settings, after), group_);
}

void SettingsDialog::create_controls() {
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

void SettingsDialog::connect_controls() {
  const auto text_into = [this](QLineEdit* field, std::string BuildSettings::*text) {
    connect(field, &QLineEdit::textEdited, this, reported([this, text](const QString& typed) {
              edit([&](BuildSettings& s) { s.*text = typed.toStdString(); });
            }));
  };
  text_into(gainedit, &BuildSettings::gain);
  text_into(tottimeedit, &BuildSettings::duration);
  text_into(sftotedit, &BuildSettings::samplingFrequency);
  text_into(nharmedit, &BuildSettings::maxHarmonics);
  text_into(ntweeniesedit, &BuildSettings::tweenies);
  connect(randomcheck, &QCheckBox::toggled, this,
          reported([this](bool on) { edit([on](BuildSettings& s) { s.randomize = on; }); }));
  // Only the user's clicks: set_autosave stores the option itself.
  connect(autosavebox, &QCheckBox::clicked, this, reported(this, &SettingsDialog::store_autosave));
  connect(okbutton, &QPushButton::clicked, this, reported(this, &SettingsDialog::ok_steps));
}

void SettingsDialog::sync_from_model() {
  const BuildSettings& s = session_.voice().settings;
  gainedit->setText(QString::fromStdString(s.gain));
  tottimeedit->setText(QString::fromStdString(s.duration));
  sftotedit->setText(QString::fromStdString(s.samplingFrequency));
  nharmedit->setText(QString::fromStdString(s.maxHarmonics));
  ntweeniesedit->setText(QString::fromStdString(s.tweenies));
  const QSignalBlocker quiet(randomcheck);
  randomcheck->setChecked(s.randomize);
}

void SettingsDialog::set_autosave(bool on) {
  {
    const QSignalBlocker quiet(autosavebox);
    autosavebox->setChecked(on);
  }
  store_autosave();
}

bool SettingsDialog::autosave() const {
  return autosavebox->isChecked();
}

void SettingsDialog::store_autosave() {
  store_.WriteBool("Common", "Autosave", autosavebox->isChecked());
}

void SettingsDialog::ok_steps() {
  const BuildSettings& texts = session_.voice().settings;
  check_field(gainedit, "Gain [dB]",
              [&] { parse_number(texts.gain, session_.decimal_separator()); });
  check_field(nharmedit, "Max # of harmonics", [&] { parse_integer(texts.maxHarmonics); });
  check_field(ntweeniesedit, "# of subharmonic tweenies", [&] { parse_integer(texts.tweenies); });
  apply_tweenie_count();
  Voice& voice = session_.voice();
  // Refused here, with the dialog still open, rather than at the next build; a voice
  // of no length would also leave the time axes without a span.
  refuse_empty_voice();
  // The time axes follow the duration within the visit's step, so that undo puts both back.
  session_.fit_time_axes(group_);
  voice.events.notify({ModelChange::Kind::Everything});
  accept();
}

void SettingsDialog::refuse_empty_voice() {
  const BuildSettings& s = session_.voice().settings;
  const char separator = session_.decimal_separator();
  const double duration = parse_number(s.duration, separator);
  // The sampling frequency is converted by the build, which names a text that is not a
  // number; here only a number outside the range the program accepts is refused.
  double fs = 0;
  if (!try_parse_number(s.samplingFrequency, fs, separator)) fs = 1;
  refuse_voice_length(std::nearbyint(fs), duration, s.samplingFrequency, s.duration);
}

void SettingsDialog::apply_tweenie_count() {
  int n = 0;
  if (tweenie_count_changes(session_.voice(), n))
    session_.apply(std::make_unique<TweenieCountCommand>(n), group_);
}

void SettingsDialog::showEvent(QShowEvent* event) {
  group_ = session_.new_group();
  sync_from_model();
  QDialog::showEvent(event);
}

}  // namespace vocanta
