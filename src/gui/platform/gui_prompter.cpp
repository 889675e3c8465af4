#include "gui/platform/gui_prompter.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStringList>

#include "gui/platform/error_report.h"
#include "gui/platform/message_box.h"

namespace vocanta {
namespace {

QString q(const std::string& s) {
  return QString::fromStdString(s);
}

// Where a file dialog opens: at the file it proposes, or, when that names no folder
// yet (an untitled document, "*.smp"), in the user's documents folder.
QString start_path(const std::string& initial) {
  const QString proposed = q(initial);
  if (proposed.contains('/') && QFileInfo(proposed).dir().exists()) return proposed;
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  return QDir(folder).filePath(QFileInfo(proposed).fileName());
}

}  // namespace

QString qt_file_filter(const std::string& filter) {
  // Pairs of description and pattern; the description already names the pattern.
  const QStringList parts = q(filter).split('|');
  QStringList descriptions;
  for (int i = 0; i < parts.size(); i += 2) descriptions << parts[i];
  return descriptions.join(";;");
}

void GuiPrompter::message(const std::string& text) {
  show_message(parent_, QMessageBox::Information, q(text));
}

Answer GuiPrompter::ask_yes_no(const std::string& question) {
  return QMessageBox::question(parent_, "Vocanta", q(question),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes
             ? Answer::Yes
             : Answer::No;
}

Answer GuiPrompter::ask_yes_no_cancel(const std::string& question) {
  const auto b = QMessageBox::question(parent_, "Vocanta", q(question),
                                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  return b == QMessageBox::Yes ? Answer::Yes : b == QMessageBox::No ? Answer::No : Answer::Cancel;
}

std::string GuiPrompter::open_file_name(const std::string& title, const std::string& filter,
                                        const std::string& initial) {
  return QFileDialog::getOpenFileName(parent_, q(title), start_path(initial),
                                      qt_file_filter(filter))
      .toStdString();
}

std::string GuiPrompter::save_file_name(const std::string& title, const std::string& filter,
                                        const std::string& initial) {
  QFileDialog dialog(parent_, q(title), start_path(initial), qt_file_filter(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The chosen pattern gives the extension a bare name receives: the first pattern of
  // the filter until the user picks another.
  const QStringList parts = q(filter).split('|');
  const auto use_pattern = [&dialog, parts](int index) {
    const bool known = index >= 0 && 2 * index + 1 < parts.size();
    const QString pattern = known ? parts[2 * index + 1].section(';', 0, 0) : QString();
    if (pattern.startsWith("*.") && pattern != "*.*") dialog.setDefaultSuffix(pattern.mid(2));
  };
  use_pattern(0);
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   reported([&dialog, use_pattern](const QString& chosen) {
                     use_pattern(static_cast<int>(dialog.nameFilters().indexOf(chosen)));
                   }));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

}  // namespace vocanta
