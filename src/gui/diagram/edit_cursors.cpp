#include "gui/diagram/edit_cursors.h"

#include <QPixmap>

namespace vocanta {

EditCursors::EditCursors() {
  const char* names[] = {"delpoint", "addpoint", "movpoint", "movhor", "movver", "movback"};
  for (size_t i = 0; i < cursors_.size(); ++i) {
    const QPixmap picture(QString(":/cursors/%1.png").arg(names[i]));
    cursors_[i] = picture.isNull() ? QCursor(Qt::CrossCursor) : QCursor(picture, 16, 16);
  }
}

QCursor EditCursors::cursor(int number) const {
  if (number < 1 || number > 6) return QCursor(Qt::ArrowCursor);
  return cursors_[static_cast<size_t>(number - 1)];
}

}  // namespace vocanta
