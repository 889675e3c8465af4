#include "gui/main/about_box.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QSysInfo>
#include <QVBoxLayout>
#include <cmath>
#include <numbers>

#include "core/support/program_version.h"

namespace vocanta {
namespace {

constexpr const char* kTitle = "Vocanta";
constexpr const char* kVersion = kProgramVersion;
constexpr const char* kRevision = kProgramRevision;
constexpr const char* kExtra = "Additive synthesis of sung and spoken vowels";

// A few periods of a voiced wave, drawn rather than shipped as a file.
QPixmap voice_picture() {
  constexpr int size = 64;
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 70, 120));
  p.drawRoundedRect(QRectF(1, 1, size - 2, size - 2), 10, 10);
  QPainterPath wave;
  for (int x = 6; x <= size - 6; ++x) {
    const double t = (x - 6) / double(size - 12) * 3 * 2 * std::numbers::pi;
    const double y = std::sin(t) + 0.5 * std::sin(2 * t + 0.7) + 0.25 * std::sin(3 * t + 1.1);
    const QPointF point(x, size / 2.0 - y * 13);
    if (x == 6)
      wave.moveTo(point);
    else
      wave.lineTo(point);
  }
  p.setPen(QPen(QColor(250, 210, 90), 2.2));
  p.setBrush(Qt::NoBrush);
  p.drawPath(wave);
  return pixmap;
}

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
