#include "gui/result/result_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QShortcut>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <utility>

#include "core/document/session.h"
#include "core/soundfile/sound_file_reader.h"
#include "core/support/prompter.h"
#include "core/support/vocanta_error.h"
#include "gui/platform/error_report.h"
#include "gui/platform/settings_store.h"
#include "gui/result/result_window_view.h"

namespace vocanta {
namespace {

constexpr const char* kSoundFileFilter =
    "Sound files (*.smp *.wav *.flac *.aif *.aiff)|*.smp;*.wav;*.flac;*.aif;*.aiff|"
    "All files (*.*)|*.*";

QPushButton* button(const QString& caption, const char* name, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  return b;
}

}  // namespace

ResultWindow::ResultWindow(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session) {
  setObjectName("ResultWindow");
  setWindowTitle("Result");
  view_ = new ResultView(painter_, this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(create_controls());
  layout->addWidget(view_, 1);
  // Space only in the picture, where it clashes with no button or box that takes it.
  view_->setFocusPolicy(Qt::StrongFocus);
  auto* space = new QShortcut(QKeySequence(Qt::Key_Space), view_);
  space->setContext(Qt::WidgetShortcut);
  connect(space, &QShortcut::activated, this, reported(this, &ResultWindow::play_or_stop));
  painter_.set_voice(&session_.voice());
  options_changed();
  refresh_buttons();
}

QWidget* ResultWindow::create_controls() {
  auto* bar = new QWidget(this);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  openButton_ = button("Open...", "openButton", bar);
  wholeButton_ = button("Whole", "wholeButton", bar);
  playButton_ = button("Play from here", "playButton", bar);
  exportButton_ = button("Export picture...", "exportButton", bar);
  windowLengthBox_ = new QComboBox(bar);
  windowLengthBox_->setObjectName("windowLengthBox");
  for (const auto& [text, ms] :
       {std::pair{"5 ms (wideband)", 5}, {"10 ms", 10}, {"20 ms", 20}, {"40 ms (narrowband)", 40}})
    windowLengthBox_->addItem(text, ms);
  rangeBox_ = new QSpinBox(bar);
  rangeBox_->setObjectName("rangeBox");
  rangeBox_->setRange(40, 100);
  rangeBox_->setSingleStep(5);
  rangeBox_->setValue(70);
  rangeBox_->setSuffix(" dB");
  topFrequencyBox_ = new QSpinBox(bar);
  topFrequencyBox_->setObjectName("topFrequencyBox");
  topFrequencyBox_->setRange(500, 48000);
  topFrequencyBox_->setSingleStep(500);
  topFrequencyBox_->setValue(5000);
  topFrequencyBox_->setSuffix(" Hz");
  overlaysCheck_ = new QCheckBox("F0 and formants", bar);
  overlaysCheck_->setObjectName("overlaysCheck");
  overlaysCheck_->setChecked(true);
  for (QWidget* w : {static_cast<QWidget*>(openButton_), static_cast<QWidget*>(wholeButton_),
                     static_cast<QWidget*>(playButton_), static_cast<QWidget*>(exportButton_)})
    row->addWidget(w);
  row->addStretch();
  row->addWidget(new QLabel("Window:", bar));
  row->addWidget(windowLengthBox_);
  row->addWidget(new QLabel("Range:", bar));
  row->addWidget(rangeBox_);
  row->addWidget(new QLabel("Up to:", bar));
  row->addWidget(topFrequencyBox_);
  row->addWidget(overlaysCheck_);
  connect(openButton_, &QPushButton::clicked, this, reported(this, &ResultWindow::open_file));
  connect(wholeButton_, &QPushButton::clicked, this, reported([this] {
            painter_.show_whole();
            view_->update();
          }));
  connect(playButton_, &QPushButton::clicked, this,
          reported(this, &ResultWindow::play_from_cursor));
  connect(exportButton_, &QPushButton::clicked, this,
          reported(this, &ResultWindow::export_picture));
  connect(windowLengthBox_, &QComboBox::currentIndexChanged, this,
          reported(this, &ResultWindow::options_changed));
  connect(rangeBox_, &QSpinBox::valueChanged, this, reported(this, &ResultWindow::options_changed));
  connect(topFrequencyBox_, &QSpinBox::valueChanged, this,
          reported(this, &ResultWindow::options_changed));
  connect(overlaysCheck_, &QCheckBox::toggled, this,
          reported(this, &ResultWindow::options_changed));
  return bar;
}

void ResultWindow::options_changed() {
  ResultOptions o;
  o.windowSeconds = windowLengthBox_->currentData().toInt() / 1000.0;
  o.rangeDb = rangeBox_->value();
  o.maxFrequency = topFrequencyBox_->value();
  o.overlays = overlaysCheck_->isChecked();
  painter_.set_options(o);
  view_->update();
}

void ResultWindow::read_options(const SettingsStore& store) {
  const int index = windowLengthBox_->findData(store.ReadInteger("Result", "WindowMs", 5));
  if (index >= 0) windowLengthBox_->setCurrentIndex(index);
  // The boxes keep a value within their ranges whatever the file says.
  rangeBox_->setValue(store.ReadInteger("Result", "RangeDb", rangeBox_->value()));
  topFrequencyBox_->setValue(store.ReadInteger("Result", "TopHz", topFrequencyBox_->value()));
  overlaysCheck_->setChecked(store.ReadBool("Result", "Overlays", true));
}

void ResultWindow::write_options(SettingsStore& store) const {
  store.WriteInteger("Result", "WindowMs", windowLengthBox_->currentData().toInt());
  store.WriteInteger("Result", "RangeDb", rangeBox_->value());
  store.WriteInteger("Result", "TopHz", topFrequencyBox_->value());
  store.WriteBool("Result", "Overlays", overlaysCheck_->isChecked());
}

void ResultWindow::refresh_buttons() {
  const bool loaded = painter_.duration() > 0;
  playButton_->setEnabled(loaded && playHandler_ != nullptr);
  exportButton_->setEnabled(loaded);
  wholeButton_->setEnabled(loaded);
}

void ResultWindow::show_built(const QString& path, std::shared_ptr<const VoiceTracks> tracks) {
  pendingPath_ = path;
  pendingTracks_ = std::move(tracks);
  // After the build has wound up: an unreadable file is then an error of its own.
  if (isVisible()) QTimer::singleShot(0, this, reported(this, &ResultWindow::load_pending));
}

void ResultWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  view_->setFocus();
  load_pending();
}

void ResultWindow::load_pending() {
  if (pendingPath_.isEmpty()) return;
  load_file(std::exchange(pendingPath_, QString()));
  painter_.set_tracks(std::exchange(pendingTracks_, nullptr));
  view_->update();
}

void ResultWindow::load_file(const QString& path) {
  auto sound = std::make_shared<SoundSamples>(read_sound_file(path.toStdString()));
  if (sound->samples.empty()) throw VocantaError(path.toStdString() + " holds no samples");
  painter_.set_sound(std::move(sound));
  painter_.set_cursor_time(std::clamp(painter_.cursor_time(), 0.0, painter_.duration()));
  shownPath_ = path;
  setWindowTitle("Result – " + QFileInfo(path).fileName());
  refresh_buttons();
  view_->update();
}

void ResultWindow::open_file() {
  const std::string path =
      session_.prompter().open_file_name("Open sound", kSoundFileFilter, shownPath_.toStdString());
  if (path.empty()) return;
  load_file(QString::fromStdString(path));
  // Not known to come from a build of this voice: the curves as they are now.
  painter_.set_tracks(nullptr);
}

void ResultWindow::export_picture() {
  const QFileInfo shown(shownPath_);
  const QString suggested = shown.path() + "/" + shown.completeBaseName() + ".png";
  const std::string path = session_.prompter().save_file_name(
      "Export picture", "PNG pictures (*.png)|*.png", suggested.toStdString());
  if (path.empty()) return;
  QImage image(view_->size(), QImage::Format_RGB32);
  QPainter p(&image);
  painter_.paint(p, image.size());
  p.end();
  // Written beside the target and renamed over it only when complete.
  QSaveFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
    throw VocantaError("Cannot write to " + path + ": " + file.errorString().toStdString());
}

void ResultWindow::set_cursor_time(double seconds) {
  painter_.set_cursor_time(seconds);
  view_->update();
}

void ResultWindow::set_play_handler(PlayHandler handler) {
  playHandler_ = std::move(handler);
  refresh_buttons();
}

void ResultWindow::play_or_stop() {
  if (stopHandler_ && stopHandler_()) return;
  play_from_cursor();
}

void ResultWindow::play_from_cursor() {
  const SoundSamples* sound = painter_.sound();
  if (!playHandler_ || !sound) return;
  const auto last = static_cast<int64_t>(sound->samples.size()) - 1;
  const auto from =
      static_cast<int64_t>(std::llround(painter_.cursor_time() * sound->samplingFrequency));
  playHandler_(sound->samples, sound->samplingFrequency, std::clamp<int64_t>(from, 0, last));
}

}  // namespace vocanta
