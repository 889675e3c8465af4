#include "gui/platform/gui_prompter.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>
#include <vector>

#include "gui/platform/error_report.h"
#include "gui/platform/message_box.h"

namespace vocanta {
namespace {

QString q(const std::string& s) {
  return QString::fromStdString(s);
}

// The patterns of each file type of "Description|*.a;*.b|...", in order.
std::vector<QStringList> type_patterns(const std::string& filter) {
  const QStringList parts = q(filter).split('|');
  std::vector<QStringList> types;
  for (int i = 1; i < parts.size(); i += 2) types.push_back(parts[i].split(';'));
  return types;
}

// The type that names the extension of name itself ("*.*" names none); -1 when none does.
int type_of(const std::vector<QStringList>& types, const QString& name) {
  const QString suffix = QFileInfo(name).suffix();
  if (suffix.isEmpty()) return -1;
  for (size_t i = 0; i < types.size(); ++i)
    if (types[i].contains("*." + suffix, Qt::CaseInsensitive)) return static_cast<int>(i);
  return -1;
}

// "wav" of "*.wav;*.wave"; empty for a type that gives no extension, such as "*.*".
QString extension_of(const QStringList& patterns) {
  const QString first = patterns.value(0);
  return first.startsWith("*.") && first != "*.*" ? first.mid(2) : QString();
}

}  // namespace

QString FileDialogMemory::start_folder(const QString& proposed) const {
  if (proposed.contains('/') && QFileInfo(proposed).dir().exists())
    return QFileInfo(proposed).absolutePath();
  for (const QString& folder : {documentFolder_ ? documentFolder_() : QString(), lastFolder_})
    if (!folder.isEmpty() && QDir(folder).exists()) return folder;
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

FileDialogMemory::Proposal FileDialogMemory::propose(const std::string& filter,
                                                     const std::string& initial) const {
  const std::vector<QStringList> types = type_patterns(filter);
  QString name = QFileInfo(q(initial)).fileName();
  const int own = type_of(types, name);
  int index = std::max(own, 0);
  const auto last = lastType_.find(filter);
  if (last != lastType_.end() && last->second < static_cast<int>(types.size())) {
    index = last->second;
    const QString extension = extension_of(types[static_cast<size_t>(index)]);
    if (own >= 0 && own != index && !extension.isEmpty())
      name = QFileInfo(name).completeBaseName() + "." + extension;
  }
  return {QDir(start_folder(q(initial))).filePath(name), index};
}

void FileDialogMemory::remember(const std::string& filter, const QString& chosen, int filterIndex) {
  lastFolder_ = QFileInfo(chosen).absolutePath();
  // A name typed with its extension chooses that type, whichever one the list showed.
  const int named = type_of(type_patterns(filter), chosen);
  if (named >= 0) filterIndex = named;
  if (filterIndex >= 0) lastType_[filter] = filterIndex;
}

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
  // Only the folder is remembered here: an open offers the file proposed, of any type.
  const QString path =
      QDir(memory_.start_folder(q(initial))).filePath(QFileInfo(q(initial)).fileName());
  const QString chosen =
      QFileDialog::getOpenFileName(parent_, q(title), path, qt_file_filter(filter));
  if (!chosen.isEmpty()) memory_.remember({}, chosen, -1);
  return chosen.toStdString();
}

std::string GuiPrompter::save_file_name(const std::string& title, const std::string& filter,
                                        const std::string& initial) {
  const FileDialogMemory::Proposal proposal = memory_.propose(filter, initial);
  QFileDialog dialog(parent_, q(title), proposal.path, qt_file_filter(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The chosen pattern gives the extension a bare name receives.
  const std::vector<QStringList> types = type_patterns(filter);
  const auto use_pattern = [&dialog, &types](int index) {
    const bool known = index >= 0 && index < static_cast<int>(types.size());
    const QString extension = known ? extension_of(types[static_cast<size_t>(index)]) : QString();
    if (!extension.isEmpty()) dialog.setDefaultSuffix(extension);
  };
  if (proposal.filterIndex < dialog.nameFilters().size())
    dialog.selectNameFilter(dialog.nameFilters()[proposal.filterIndex]);
  use_pattern(proposal.filterIndex);
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   reported([&dialog, use_pattern](const QString& chosen) {
                     use_pattern(static_cast<int>(dialog.nameFilters().indexOf(chosen)));
                   }));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QString chosen = dialog.selectedFiles().first();
  memory_.remember(filter, chosen,
                   static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter())));
  return chosen.toStdString();
}

}  // namespace vocanta
