#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <memory>
#include <string>
#include <vector>

#include "core/document/session.h"
#include "core/model/batch_commands.h"
#include "core/model/voice.h"
#include "core/support/message_text.h"
#include "core/support/number_format.h"
#include "core/support/vocanta_error.h"
#include "gui/batch/batch_window.h"
#include "gui/batch/rename_batch_dialog.h"

namespace vocanta {
namespace {

constexpr int kMostBatchSteps = 32767;

}  // namespace

void BatchWindow::nstepseditKeyPress(const QKeyEvent* event) {
  // Other keys are the field's own: only Enter commits what it holds.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) commit_steps();
  update_build_count();
}

void BatchWindow::commit_steps() {
  const int16_t id = current_batch_id();
  const tbatchitem* b = session_.voice().batches.find_batch(id);
  if (!b) return;
  const std::string text = nstepsedit->text().toStdString();
  // The document keeps the steps in 16 bits and a batch has no fewer than none; a text
  // outside that is refused with the range, which tells the user what to type.
  int n = 0;
  if (!try_parse_integer(text, n) || n < 0 || n > kMostBatchSteps)
    throw VocantaError("The number of batch steps must be a whole number from 0 to " +
                       std::to_string(kMostBatchSteps) + ", not " + quoted(text));
  if (n == b->nSteps) return;
  session_.apply(std::make_unique<BatchStepsCommand>(id, b->nSteps, static_cast<int16_t>(n)));
}

void BatchWindow::renamebuttonClick() {
  if (selected_batch_count() != 1) return;
  const int16_t id = current_batch_id();
  if (id == 0) return;
  RenameBatchDialog dialog(this);
  dialog.nameedit->setText(QString::fromStdString(session_.voice().batches.batch_name(id)));
  if (dialog.exec() != QDialog::Accepted) return;
  const QString name = dialog.nameedit->text();
  if (name.isEmpty()) {
    // An OK counts as an edit even when it leaves the name as it was.
    session_.document().set_modified(true);
    return;
  }
  session_.apply(std::make_unique<RenameBatchCommand>(id, name.toStdString()));
  // The refilled list lost the entry under its old name; the user goes on with it.
  const QList<QListWidgetItem*> renamed = batchlistbox->findItems(name, Qt::MatchExactly);
  if (renamed.size() == 1)
    batchlistbox->setCurrentItem(renamed.front(), QItemSelectionModel::ClearAndSelect);
}

void BatchWindow::removebuttonClick() {
  const BatchList& batches = session_.voice().batches;
  std::vector<int16_t> ids;
  for (int row = batchlistbox->count() - 1; row >= 0; --row) {
    const QListWidgetItem* item = batchlistbox->item(row);
    if (!item->isSelected()) continue;
    if (const int16_t id = batches.find_batch_id(item->text().toStdString())) ids.push_back(id);
  }
  // One step for all of them: one Ctrl+Z brings every batch and its points back.
  const uint64_t group = session_.new_group();
  for (int16_t id : ids) session_.apply(std::make_unique<RemoveBatchCommand>(id), group);
}

void BatchWindow::presentlistboxClick() {
  const QListWidgetItem* item = presentlistbox->currentItem();
  if (!item) return;
  const std::string title = item->text().toStdString();
  const Voice& voice = session_.voice();
  for (int i = 0; i < kParameterCount; ++i)
    if (voice.parameter(i).title == title) emit showParameter(i);
}

}  // namespace vocanta
