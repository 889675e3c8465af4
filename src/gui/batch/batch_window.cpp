#include "gui/batch/batch_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <unordered_set>

#include "core/document/session.h"
#include "core/model/voice.h"
#include "gui/platform/error_report.h"
#include "gui/platform/qt_text.h"

namespace vocanta {
namespace {

QLabel* heading(const char* text, QWidget* parent) {
  return new QLabel(QString::fromLatin1(text), parent);
}

template <class T>
T* named(T* widget, const char* name, const char* hint = "") {
  widget->setObjectName(QString::fromLatin1(name));
  if (*hint) widget->setToolTip(QString::fromLatin1(hint));
  return widget;
}

// The batch identifiers that points of the parameter carry, in one walk of its curves.
std::unordered_set<int16_t> carried_batches(const CurveState& w) {
  std::unordered_set<int16_t> ids;
  for (const TCurve* k = w.curves; k; k = k->next)
    for (const TCurvePoint* p = k->points; p; p = p->next)
      if (p->batch != 0) ids.insert(p->batch);
  return ids;
}

}  // namespace

BatchWindow::BatchWindow(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session) {
  setObjectName("TForm3");
  setWindowTitle("Batch");
  create_controls();
  connect_controls();
  chooseFolder_ = [this](const std::string& initial) {
    return QFileDialog::getExistingDirectory(this, "Build voices into folder", qt(initial))
        .toStdString();
  };
  session_.voice().events.add(this);
}

BatchWindow::~BatchWindow() {
  session_.voice().events.remove(this);
}

void BatchWindow::create_controls() {
  batchlistbox =
      named(new QListWidget(this), "batchlistbox", "List of batches created in parameter forms");
  batchlistbox->setSelectionMode(QAbstractItemView::ExtendedSelection);
  nstepsedit =
      named(new QLineEdit(this), "nstepsedit", "The number of steps within the batch range");
  nstepsedit->installEventFilter(this);
  presentlistbox =
      named(new QListWidget(this), "presentlistbox", "The batches are present in these parameters");
  presentlistbox->setSelectionMode(QAbstractItemView::SingleSelection);
  renamebutton = named(new QPushButton("Re&name", this), "renamebutton",
                       "Renames the batch that is selected in the batches list box");
  removebutton = named(new QPushButton("&Remove", this), "removebutton",
                       "Deletes the batch that is selected in the batches list box");
  batchbuildbutton = named(new QPushButton("&Batch build...", this), "batchbuildbutton",
                           "Starts the construction of the .SMP file");
  Batchprogresslabel = named(new QLabel(this), "Batchprogresslabel");
  ntobuildlabel = named(new QLabel(this), "ntobuildlabel");

  auto* grid = new QGridLayout;
  grid->addWidget(heading("Batches", this), 0, 0);
  grid->addWidget(batchlistbox, 1, 0);
  grid->addWidget(heading("# of batch steps", this), 2, 0);
  grid->addWidget(nstepsedit, 3, 0);
  grid->addWidget(heading("Present in", this), 0, 1);
  grid->addWidget(presentlistbox, 1, 1, 3, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(renamebutton);
  buttons->addWidget(removebutton);
  buttons->addStretch();
  buttons->addWidget(batchbuildbutton);
  auto* labels = new QHBoxLayout;
  labels->addWidget(ntobuildlabel);
  labels->addStretch();
  labels->addWidget(Batchprogresslabel);
  auto* all = new QVBoxLayout(this);
  all->addLayout(grid);
  all->addWidget(create_choices());
  all->addLayout(buttons);
  all->addLayout(labels);
}

QWidget* BatchWindow::create_choices() {
  auto* box = new QWidget(this);
  buildradio = named(new QGroupBox("Build", box), "buildradio",
                     "Run all or just some of the batches in the batches list");
  selectedonlyradio =
      named(new QRadioButton("Selected batches only", buildradio), "selectedonlyradio");
  allbatchesradio = named(new QRadioButton("All batches", buildradio), "allbatchesradio");
  allbatchesradio->setChecked(true);
  auto* build = new QVBoxLayout(buildradio);
  build->addWidget(selectedonlyradio);
  build->addWidget(allbatchesradio);
  combinationradio = named(new QGroupBox("Batch combination", box), "combinationradio",
                           "Combines/runs batches separately");
  separateradio =
      named(new QRadioButton("Each batch separately", combinationradio), "separateradio");
  combinationsradio =
      named(new QRadioButton("All combinations of batches", combinationradio), "combinationsradio");
  separateradio->setChecked(true);
  auto* combination = new QVBoxLayout(combinationradio);
  combination->addWidget(separateradio);
  combination->addWidget(combinationsradio);
  Includewithoutcheck =
      named(new QCheckBox("Include build without batch", box), "Includewithoutcheck");
  auto* row = new QGridLayout(box);
  row->addWidget(buildradio, 0, 0);
  row->addWidget(combinationradio, 0, 1);
  row->addWidget(Includewithoutcheck, 1, 0);
  row->addWidget(create_level_choices(box), 1, 1);
  row->addWidget(create_file_choices(box), 2, 0, 1, 2);
  return box;
}

QWidget* BatchWindow::create_file_choices(QWidget* parent) {
  auto* box = new QWidget(parent);
  textgridcheck = named(new QCheckBox("Write a &TextGrid", box), "textgridcheck",
                        "Writes a TextGrid of the voices beside the series' file");
  splitcheck = named(new QCheckBox("One file per &voice", box), "splitcheck",
                     "Builds each voice into a file of its own in a folder");
  formatlabel = named(new QLabel("&Format:", box), "formatlabel");
  formatcombo = named(new QComboBox(box), "formatcombo", "The format of the voices' files");
  // In the order of AudioFormat, the sample file last.
  formatcombo->addItems({"WAV", "FLAC", "AIFF", "Sample file"});
  formatlabel->setBuddy(formatcombo);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(textgridcheck);
  row->addStretch();
  row->addWidget(splitcheck);
  row->addWidget(formatlabel);
  row->addWidget(formatcombo);
  update_file_choices();
  return box;
}

QWidget* BatchWindow::create_level_choices(QWidget* parent) {
  auto* box = new QWidget(parent);
  levelcheck = named(new QCheckBox("Match &level", box), "levelcheck",
                     "Brings each voice to a peak or RMS level before it is written");
  levelcombo = named(new QComboBox(box), "levelcombo", "What the level of a voice is");
  levelcombo->addItems({"Peak", "RMS"});
  leveledit = named(new QLineEdit(levelTexts_[0], box), "leveledit",
                    "The level each voice is brought to, in dB of full scale");
  // Room for a target such as -20.5, no more: the row shares its width with another.
  leveledit->setMaximumWidth(leveledit->fontMetrics().horizontalAdvance("-000.00") + 16);
  levelunitlabel = named(new QLabel("dB FS", box), "levelunitlabel");
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(levelcheck);
  row->addWidget(levelcombo);
  row->addWidget(leveledit);
  row->addWidget(levelunitlabel);
  row->addStretch();
  update_level_choices();
  return box;
}

void BatchWindow::update_level_choices() {
  const bool on = levelcheck->isChecked();
  levelcombo->setEnabled(on);
  leveledit->setEnabled(on);
  levelunitlabel->setEnabled(on);
}

void BatchWindow::levelcomboChange(int index) {
  // A peak of -20 dB would be a quiet stimulus rather than a choice: each measure keeps
  // the target last typed for it.
  levelTexts_[levelMeasure_] = leveledit->text();
  levelMeasure_ = index == 1 ? 1 : 0;
  leveledit->setText(levelTexts_[levelMeasure_]);
}

void BatchWindow::update_file_choices() {
  // A TextGrid describes one file; the format is that of the files of the voices, as one
  // file takes its own from the name it is given.
  const bool split = splitcheck->isChecked();
  textgridcheck->setEnabled(!split);
  formatlabel->setEnabled(split);
  formatcombo->setEnabled(split);
}

void BatchWindow::connect_controls() {
  connect(batchlistbox, &QListWidget::itemSelectionChanged, this,
          reported(this, &BatchWindow::batchlistboxClick));
  // A click on the entry that is selected already changes no selection, yet it is how
  // the user takes back steps typed without Enter.
  connect(batchlistbox, &QListWidget::itemClicked, this,
          reported(this, &BatchWindow::batchlistboxClick));
  connect(presentlistbox, &QListWidget::itemClicked, this,
          reported(this, &BatchWindow::presentlistboxClick));
  connect(renamebutton, &QPushButton::clicked, this,
          reported(this, &BatchWindow::renamebuttonClick));
  connect(removebutton, &QPushButton::clicked, this,
          reported(this, &BatchWindow::removebuttonClick));
  connect(batchbuildbutton, &QPushButton::clicked, this,
          reported(this, &BatchWindow::batchbuildbuttonClick));
  for (QRadioButton* r : {selectedonlyradio, allbatchesradio, separateradio, combinationsradio})
    connect(r, &QRadioButton::toggled, this, reported(this, &BatchWindow::update_build_count));
  connect(Includewithoutcheck, &QCheckBox::toggled, this,
          reported(this, &BatchWindow::update_build_count));
  connect(splitcheck, &QCheckBox::toggled, this, reported(this, &BatchWindow::update_file_choices));
  connect(levelcheck, &QCheckBox::toggled, this,
          reported(this, &BatchWindow::update_level_choices));
  connect(levelcombo, &QComboBox::currentIndexChanged, this,
          reported(this, &BatchWindow::levelcomboChange));
}

void BatchWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  refresh_batch_list();
}

void BatchWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) update_build_count();
}

bool BatchWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != nstepsedit) return QWidget::eventFilter(watched, event);
  // The steps are a step of the document's history: Ctrl+Z here takes that back rather
  // than the field's typing.
  if (event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
      event->ignore();
      return true;
    }
  }
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
  nstepseditKeyPress(key);
  return enter;
}

void BatchWindow::model_changed(const ModelChange& change) {
  using Kind = ModelChange::Kind;
  if (change.kind == Kind::Everything || change.kind == Kind::Batches) {
    refresh_batch_list();
    update_build_count();
  } else if (change.kind == Kind::Curves && isVisible()) {
    // A point given or stripped of a batch changes where the batches are present.
    refresh_present_list();
  }
}

void BatchWindow::refresh_batch_list() {
  QStringList names;
  for (const std::string& name : sorted_batch_names(session_.voice().batches)) names << qt(name);
  QStringList shown;
  for (int i = 0; i < batchlistbox->count(); ++i) shown << batchlistbox->item(i)->text();
  if (names != shown) {
    // Refilled with the entries that stayed selected and current, by name.
    QStringList selected;
    for (const QListWidgetItem* item : batchlistbox->selectedItems()) selected << item->text();
    const QString current = batchlistbox->currentItem() ? batchlistbox->currentItem()->text() : "";
    const QSignalBlocker block(batchlistbox);
    batchlistbox->clear();
    batchlistbox->addItems(names);
    for (int i = 0; i < batchlistbox->count(); ++i) {
      QListWidgetItem* item = batchlistbox->item(i);
      if (item->text() == current)
        batchlistbox->setCurrentItem(item, QItemSelectionModel::NoUpdate);
      item->setSelected(selected.contains(item->text()));
    }
  }
  show_current_steps();
  refresh_present_list();
}

void BatchWindow::refresh_present_list() {
  presentlistbox->clear();
  QList<QListWidgetItem*> considered = batchlistbox->selectedItems();
  if (considered.isEmpty())
    for (int i = 0; i < batchlistbox->count(); ++i) considered << batchlistbox->item(i);
  std::sort(considered.begin(), considered.end(),
            [this](auto* a, auto* b) { return batchlistbox->row(a) < batchlistbox->row(b); });
  const BatchList& batches = session_.voice().batches;
  std::vector<int16_t> ids;
  for (const QListWidgetItem* item : considered)
    ids.push_back(batches.find_batch_id(item->text().toStdString()));
  for (const Parameter& param : session_.voice().parameters()) {
    const std::unordered_set<int16_t> carried = carried_batches(param.state);
    for (int16_t id : ids)
      if (carried.contains(id)) presentlistbox->addItem(qt(param.title));
  }
}

int BatchWindow::selected_batch_count() const {
  return static_cast<int>(batchlistbox->selectedItems().size());
}

int16_t BatchWindow::current_batch_id() const {
  const QListWidgetItem* item = batchlistbox->currentItem();
  return item ? session_.voice().batches.find_batch_id(item->text().toStdString()) : 0;
}

void BatchWindow::show_current_steps() {
  const tbatchitem* b = session_.voice().batches.find_batch(current_batch_id());
  if (selected_batch_count() == 1 && b)
    nstepsedit->setText(QString::number(b->nSteps));
  else
    nstepsedit->clear();
}

void BatchWindow::batchlistboxClick() {
  show_current_steps();
  refresh_present_list();
  update_build_count();
}

}  // namespace vocanta
