#include "gui/main/partial_open_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <algorithm>

#include "core/document/session.h"
#include "core/model/voice.h"
#include "core/support/prompter.h"
#include "gui/platform/error_report.h"

namespace vocanta {
namespace {

constexpr int kBoxHeight = 20, kBoxWidth = 200, kGap = 15, kLeft = 12;

}  // namespace

PartialOpenDialog::PartialOpenDialog(Session& session, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      session_(session) {
  setObjectName("TForm4");
  setWindowTitle("Partial open");
  setModal(true);
  checkgroup = new QGroupBox("Open only", this);
  checkgroup->setObjectName("checkgroup");
  checkgroup->setToolTip("Select the parameters you want to open from an .VTA file");
  commoncheck = new QCheckBox("Common section", checkgroup);
  commoncheck->setObjectName("commoncheck");
  commoncheck->setToolTip("Laod the common section");
  for (int i = 0; i < kParameterCount; ++i)
    parameterChecks[static_cast<size_t>(i)] = new QCheckBox(checkgroup);
  openbutton = new QPushButton("&Open...", this);
  openbutton->setObjectName("openbutton");
  openbutton->setDefault(true);
  cancelbutton = new QPushButton("&Cancel", this);
  cancelbutton->setObjectName("cancelbutton");
  connect(openbutton, &QPushButton::clicked, this,
          reported(this, &PartialOpenDialog::open_clicked));
  connect(cancelbutton, &QPushButton::clicked, this, &QDialog::reject);
  rebuild_parameter_boxes();
}

void PartialOpenDialog::lay_out() {
  // The boxes are as wide as the longest title needs ("Subharmonic tweenie spectrum"
  // outgrows the classic width in most fonts), and as high as the font needs.
  int width = kBoxWidth, height = kBoxHeight;
  for (const QCheckBox* box : findChildren<QCheckBox*>()) {
    width = std::max(width, box->sizeHint().width());
    height = std::max(height, box->sizeHint().height());
  }
  commoncheck->setGeometry(kLeft, 24, width, height);
  for (int i = 0; i < kParameterCount; ++i)
    parameterChecks[static_cast<size_t>(i)]->setGeometry(kLeft, 24 + kGap + (i + 1) * height, width,
                                                         height);
  const int groupHeight = 24 + kGap + (kParameterCount + 1) * height + 10;
  checkgroup->setGeometry(8, 8, width + 2 * kLeft, groupHeight);
  openbutton->setGeometry(8, groupHeight + 16, 100, 26);
  cancelbutton->setGeometry(width + 2 * kLeft + 8 - 100, groupHeight + 16, 100, 26);
  setFixedSize(width + 2 * kLeft + 16, groupHeight + 52);
}

void PartialOpenDialog::rebuild_parameter_boxes() {
  for (int i = 0; i < kParameterCount; ++i) {
    QCheckBox* box = parameterChecks[static_cast<size_t>(i)];
    box->setText(QString::fromStdString(session_.voice().parameter(i).title));
    box->setChecked(false);
    box->setToolTip("");
  }
  lay_out();
}

void PartialOpenDialog::apply_hints() {
  for (int i = 0; i < kParameterCount; ++i)
    parameterChecks[static_cast<size_t>(i)]->setToolTip(
        "Load " + QString::fromStdString(session_.voice().parameter(i).title));
}

void PartialOpenDialog::open_clicked() {
  ReadSelection choice;
  choice.everything = false;
  choice.common = commoncheck->isChecked();
  int checked = choice.common ? 1 : 0;
  for (int i = 0; i < kParameterCount; ++i) {
    choice.parameters[static_cast<size_t>(i)] =
        parameterChecks[static_cast<size_t>(i)]->isChecked();
    checked += choice.parameters[static_cast<size_t>(i)] ? 1 : 0;
  }
  if (checked == 0) {
    session_.prompter().message("You must check at least one parameter in the \"open only\" group");
    return;
  }
  DocumentLifecycle& document = session_.document();
  document.partialOpen = true;
  document.selection = choice;
  try {
    document.open_document();
  } catch (...) {
    document.partialOpen = false;
    throw;
  }
  document.partialOpen = false;
  accept();
}

}  // namespace vocanta
