#include "gui/main/template_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QSet>
#include <QVBoxLayout>

#include "gui/platform/program_data.h"

namespace vocanta {
namespace {

bool holds_documents(const QString& folder) {
  return !folder.isEmpty() && !QDir(folder).entryList({"*.vta"}, QDir::Files).isEmpty();
}

}  // namespace

QString templates_folder() {
  for (const QString& folder : data_folder_candidates(running_program_places(), "templates"))
    if (holds_documents(folder)) return folder;
  return {};
}

QList<TemplateEntry> list_templates(const QString& folder) {
  const QDir dir(folder);
  QList<TemplateEntry> entries;
  QSet<QString> listed;
  QFile index(dir.filePath("index.txt"));
  if (index.open(QIODevice::ReadOnly | QIODevice::Text)) {
    for (const QString& line : QString::fromUtf8(index.readAll()).split('\n')) {
      const QStringList fields = line.split('\t');
      if (fields.size() != 2 || !dir.exists(fields[0])) continue;
      entries.append({dir.filePath(fields[0]), fields[1].trimmed()});
      listed.insert(fields[0]);
    }
  }
  for (const QString& name : dir.entryList({"*.vta"}, QDir::Files, QDir::Name))
    if (!listed.contains(name)) entries.append({dir.filePath(name), QFileInfo(name).baseName()});
  return entries;
}

TemplateDialog::TemplateDialog(const QList<TemplateEntry>& entries, QWidget* parent)
    : QDialog(parent), entries_(entries) {
  setObjectName("TemplateDialog");
  setWindowTitle("New from template");
  templatelist = new QListWidget(this);
  templatelist->setObjectName("templatelist");
  for (const TemplateEntry& e : entries_) templatelist->addItem(e.caption);
  templatelist->setCurrentRow(0);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(templatelist, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  auto* column = new QVBoxLayout(this);
  column->addWidget(templatelist);
  column->addWidget(buttons);
  resize(320, 420);
}

QString TemplateDialog::chosen() const {
  const int row = templatelist->currentRow();
  return row < 0 || row >= entries_.size() ? QString() : entries_[row].path;
}

}  // namespace vocanta
