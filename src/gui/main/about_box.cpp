#include "gui/main/about_box.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QSysInfo>
#include <QVBoxLayout>

#include "core/support/program_version.h"
#include "gui/main/program_icon.h"

namespace vocanta {
namespace {

constexpr const char* kTitle = "Vocanta";
constexpr const char* kVersion = kProgramVersion;
constexpr const char* kRevision = kProgramRevision;
constexpr const char* kExtra = "Additive synthesis of sung and spoken vowels";

QLabel* text_line(const QString& text, const char* name, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  return label;
}

}  // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName("QuirraAboutBox");
  setWindowTitle(QString("About ") + kTitle);
  systemText_ = QSysInfo::prettyProductName() + ", Qt " + qVersion();
  picture_ = new QLabel(this);
  picture_->setObjectName("picture");
  picture_->setPixmap(voice_picture());
  picture_->setAlignment(Qt::AlignTop);
  picture_->installEventFilter(this);
  QLabel* titleLabel = text_line(kTitle, "titleLabel", this);
  QFont big = titleLabel->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  titleLabel->setFont(big);
  infoLabel_ = text_line(systemText_, "infoLabel", this);
  auto* texts = new QVBoxLayout;
  texts->setSpacing(3);
  texts->addWidget(titleLabel);
  texts->addWidget(text_line(QString("Version ") + kVersion, "versionLabel", this));
  texts->addWidget(text_line(QString("Revision ") + kRevision, "revisionLabel", this));
  texts->addWidget(text_line(kExtra, "extraLabel", this));
  texts->addSpacing(6);
  texts->addWidget(infoLabel_);
  auto* row = new QHBoxLayout;
  row->setSpacing(16);
  row->addWidget(picture_, 0, Qt::AlignTop);
  row->addLayout(texts, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addSpacing(8);
  layout->addWidget(buttons);
  // One size, the one its texts need: the log file's name widens it while it is shown.
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString AboutBox::title() const {
  return kTitle;
}

QString AboutBox::version() const {
  return kVersion;
}

QString AboutBox::revision() const {
  return kRevision;
}

QString AboutBox::extra() const {
  return kExtra;
}

void AboutBox::show_log_file(const QString& fileName) {
  infoLabel_->setText(fileName.isEmpty() ? systemText_ : fileName);
  infoLabel_->setToolTip(fileName);
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == picture_ && event->type() == QEvent::MouseButtonDblClick) {
    if (onPictureDoubleClicked) onPictureDoubleClicked();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace vocanta
