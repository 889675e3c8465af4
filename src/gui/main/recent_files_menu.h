#pragma once

#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <functional>

#include "core/document/recent_files.h"

class QAction;

namespace vocanta {

// The recent files entries of a menu: a separator, sixteen file entries and a clear
// entry, inserted at MenuPos and kept in the per-user file beside the program's other
// data. The list is read once, when the object is made.
class RecentFilesMenu : public QObject {
  Q_OBJECT
  Q_PROPERTY(int MaxItems READ max_items WRITE set_max_items)
  Q_PROPERTY(int MenuPos READ menu_pos WRITE set_menu_pos)
  Q_PROPERTY(bool BarBefore READ bar_before WRITE set_bar_before)
  Q_PROPERTY(bool IncludeClearItem READ include_clear_item WRITE set_include_clear_item)
  Q_PROPERTY(QString ClearCaption READ clear_caption WRITE set_clear_caption)

 public:
  // storeFile: the settings file; empty for the program's own per-user file.
  explicit RecentFilesMenu(QObject* parent = nullptr, const QString& storeFile = {});

  QMenu* menu() const { return menu_; }
  void set_menu(QMenu* menu);
  int max_items() const { return list_.max_items(); }
  void set_max_items(int count);  // clamped to 0..15
  int menu_pos() const { return menuPos_; }
  void set_menu_pos(int position);
  bool bar_before() const { return barBefore_; }
  void set_bar_before(bool on);
  bool include_clear_item() const { return includeClearItem_; }
  void set_include_clear_item(bool on);
  QString clear_caption() const { return clearCaption_; }
  void set_clear_caption(const QString& caption);

  // Which drives may hold a listed file (AllowFileOnFixed … AllowFileOnRAMDisk).
  DriveAllowance allowFileOn;
  // Called with the path of the chosen entry's file.
  std::function<void(const QString& path)> OnClick;

  // The platform's answers, replaceable so that tests need no person and no CD-ROM.
  std::function<void(const QString& title, const QString& text)> showMessage;
  std::function<bool(const QString& title, const QString& question)> askClear;
  std::function<DriveKind(const QString& fullPath)> driveKind;

  // Puts the file at the top of the list when its drive is allowed.
  void add(const QString& path);
  // What choosing file entry index (0 = the newest) or the clear entry does.
  void choose(int index);
  void clear_list();

  const RecentFileList& list() const { return list_; }
  const QString& store_file() const { return storeFile_; }
  QAction* file_action(int index) const { return files_.at(static_cast<size_t>(index)); }
  QAction* separator_action() const { return separator_; }
  QAction* clear_action() const { return clear_; }

  // The program's own file: in the per-user data folder, else the per-user store.
  static QString default_store_file();

 private:
  void create_actions();
  QList<QAction*> own_actions() const;
  void refresh_actions();
  void insert_actions();
  void changed();
  void load();
  void store() const;

  RecentFileList list_;
  QString storeFile_;
  QPointer<QMenu> menu_;
  int menuPos_ = 7;
  bool barBefore_ = true;
  bool includeClearItem_ = true;
  QString clearCaption_ = "&Clear list...";
  QAction* separator_ = nullptr;
  std::array<QAction*, RecentFileList::kSlots> files_{};
  QAction* clear_ = nullptr;
};

}  // namespace vocanta
