#include "gui/main/recent_files_menu.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QStandardPaths>
#include <algorithm>
#include <exception>
#include <filesystem>

#include "core/support/ini_file.h"
#include "core/support/program_version.h"
#include "gui/platform/drive_kind.h"
#include "gui/platform/error_report.h"
#include "gui/platform/settings_store.h"

namespace vocanta {
namespace {

// The program identity names the folder, so that another version keeps its own list.
QString store_folder() {
  return QStringLiteral("/ZarvekData/Vocanta/") + kProgramRevision + "/";
}

// Mnemonics take every "&": a path such as "Tom & Jerry.vta" must show as it is.
QString caption(int number, const QString& path) {
  return "&" + QString::number(number, 16).toUpper() + " " + QString(path).replace("&", "&&");
}

bool file_exists(const std::string& path) {
  return QFileInfo(QString::fromStdString(path)).isFile();
}

void warn(const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

bool ask(const QString& title, const QString& question) {
  QMessageBox box(QMessageBox::Question, title, question, QMessageBox::Yes | QMessageBox::No,
                  QApplication::activeWindow());
  return box.exec() == QMessageBox::Yes;
}

}  // namespace

RecentFilesMenu::RecentFilesMenu(QObject* parent, const QString& storeFile)
    : QObject(parent),
      showMessage(warn),
      askClear(ask),
      driveKind(drive_kind),
      storeFile_(storeFile.isEmpty() ? default_store_file() : storeFile) {
  create_actions();
  load();
  refresh_actions();
}

QString RecentFilesMenu::default_store_file() {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (data.isEmpty())
    return QFile::decodeName(QByteArray::fromStdString(SettingsStore().file_name()));
  const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
  return data + store_folder() + program + ".ini";
}

void RecentFilesMenu::create_actions() {
  separator_ = new QAction(this);
  separator_->setSeparator(true);
  for (int i = 0; i < RecentFileList::kSlots; ++i) {
    files_[static_cast<size_t>(i)] = new QAction(this);
    connect(files_[static_cast<size_t>(i)], &QAction::triggered, this,
            reported([this, i] { choose(i); }));
  }
  clear_ = new QAction(this);
  connect(clear_, &QAction::triggered, this, reported(this, &RecentFilesMenu::clear_list));
}

void RecentFilesMenu::set_menu(QMenu* menu) {
  if (menu_)
    for (QAction* a : own_actions()) menu_->removeAction(a);
  menu_ = menu;
  insert_actions();
}

void RecentFilesMenu::set_max_items(int count) {
  list_.set_max_items(count);
  refresh_actions();
}

void RecentFilesMenu::set_menu_pos(int position) {
  menuPos_ = position;
  insert_actions();
}

void RecentFilesMenu::set_bar_before(bool on) {
  barBefore_ = on;
  refresh_actions();
}

void RecentFilesMenu::set_include_clear_item(bool on) {
  includeClearItem_ = on;
  refresh_actions();
}

void RecentFilesMenu::set_clear_caption(const QString& caption) {
  clearCaption_ = caption;
  refresh_actions();
}

void RecentFilesMenu::refresh_actions() {
  for (int i = 0; i < RecentFileList::kSlots; ++i) {
    const QString path = QString::fromStdString(list_.slot(i));
    QAction* a = files_[static_cast<size_t>(i)];
    a->setText(caption(i + 1, path));
    a->setVisible(!path.isEmpty() && i < list_.max_items());
  }
  const bool any = list_.shown_count() > 0;
  separator_->setVisible(barBefore_ && any);
  clear_->setText(clearCaption_);
  clear_->setVisible(includeClearItem_ && any);
}

QList<QAction*> RecentFilesMenu::own_actions() const {
  QList<QAction*> ours{separator_};
  for (QAction* a : files_) ours.append(a);
  ours.append(clear_);
  return ours;
}

void RecentFilesMenu::insert_actions() {
  if (!menu_) return;
  const QList<QAction*> ours = own_actions();
  for (QAction* a : ours) menu_->removeAction(a);
  const QList<QAction*> others = menu_->actions();
  const qsizetype at = std::clamp<qsizetype>(menuPos_, 0, others.size());
  menu_->insertActions(at < others.size() ? others[at] : nullptr, ours);
}

void RecentFilesMenu::add(const QString& path) {
  if (path.isEmpty()) return;
  const QString full = QFileInfo(path).absoluteFilePath();
  if (!allowFileOn.allows(driveKind(full))) return;
  if (list_.add(full.toStdString())) changed();
}

void RecentFilesMenu::choose(int index) {
  const QString path = QString::fromStdString(list_.slot(index));
  if (path.isEmpty()) return;
  if (QFileInfo(path).isFile()) {
    add(path);
    // A copy, so that the handler may replace OnClick while it runs.
    if (const auto onClick = OnClick) onClick(path);
    return;
  }
  showMessage("File not found", "Can't find \n" + path);
  list_.remove(index);
  changed();
}

void RecentFilesMenu::clear_list() {
  if (!askClear("Clear list", "Do you want to clear the list of recently used files?")) return;
  list_.clear();
  changed();
}

void RecentFilesMenu::changed() {
  refresh_actions();
  store();
  insert_actions();
}

void RecentFilesMenu::load() {
  try {
    IniFile ini;
    ini.load(QFile::encodeName(storeFile_).toStdString());
    list_.load_from(ini, file_exists);
  } catch (const std::exception&) {
    // A file that cannot be read costs the list, never the start of the program.
  }
}

void RecentFilesMenu::store() const {
  // The list is a convenience: a full disk or a read-only folder must not stop the
  // open or save that added the file.
  try {
    change_ini_file(QFile::encodeName(storeFile_).toStdString(),
                    [this](IniFile& ini) { list_.store_into(ini); });
  } catch (const std::exception&) {
  }
}

}  // namespace vocanta
