#include "gui/main/partial_open_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

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
  commoncheck->setGeometry(kLeft, 24, kBoxWidth, kBoxHeight);
  for (int i = 0; i < kParameterCount; ++i) {
    auto* box = new QCheckBox(checkgroup);
    box->setGeometry(kLeft, 24 + kGap + (i + 1) * kBoxHeight, kBoxWidth, kBoxHeight);
    parameterChecks[static_cast<size_t>(i)] = box;
  }
  const int groupHeight = 24 + kGap + (kParameterCount + 1) * kBoxHeight + 10;
  checkgroup->setGeometry(8, 8, kBoxWidth + 2 * kLeft, groupHeight);
  openbutton = new QPushButton("&Open...", this);
  openbutton->setObjectName("openbutton");
  openbutton->setDefault(true);
  cancelbutton = new QPushButton("&Cancel", this);
  cancelbutton->setObjectName("cancelbutton");
  openbutton->setGeometry(8, groupHeight + 16, 100, 26);
  cancelbutton->setGeometry(kBoxWidth + 2 * kLeft + 8 - 100, groupHeight + 16, 100, 26);
  setFixedSize(kBoxWidth + 2 * kLeft + 16, groupHeight + 52);
  connect(openbutton, &QPushButton::clicked, this,
          reported(this, &PartialOpenDialog::open_clicked));
  connect(cancelbutton, &QPushButton::clicked, this, &QDialog::reject);
  rebuild_parameter_boxes();
}

void PartialOpenDialog::rebuild_parameter_boxes() {
  for (int i = 0; i < kParameterCount; ++i) {
    QCheckBox* box = parameterChecks[static_cast<size_t>(i)];
    box->setText(QString::fromStdString(session_.voice().parameter(i).title));
    box->setChecked(false);
    box->setToolTip("");
  }
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
