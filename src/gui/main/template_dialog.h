#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QListWidget;

namespace vocanta {

// A document to start from, and the name the dialog shows for it.
struct TemplateEntry {
  QString path;
  QString caption;
};

// The folder of the vowel templates: examples/templates of the source tree the program
// sits in (build/src/vocanta) or was built from, or where an installation puts them
// (share/vocanta/templates); empty when there is none.
QString templates_folder();

// The templates of a folder in the order of its index.txt ("file<TAB>name" lines), then
// any other document in it under its file name.
QList<TemplateEntry> list_templates(const QString& folder);

// File ▸ "New from template...": a list to pick one from.
class TemplateDialog : public QDialog {
  Q_OBJECT

 public:
  TemplateDialog(const QList<TemplateEntry>& entries, QWidget* parent = nullptr);

  // The path of the template picked; empty when none is.
  QString chosen() const;

  QListWidget* templatelist = nullptr;

 private:
  QList<TemplateEntry> entries_;
};

}  // namespace vocanta
