#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

class QWidget;

namespace vocanta {

class SettingsStore;

// Where each window was when the program last ended, kept in the per-user store's
// section "Windows" as "left,top,width,height" under the window's name: the corner of its
// frame and the size of its contents.
void save_window_place(SettingsStore& store, const QString& name, const QWidget& window);
// Puts the window's frame back where it was, moved (and made smaller where it must be) to
// lie whole within the available area of a screen now attached; a window of fixed size
// only moves. False when no place was stored.
bool restore_window_place(const SettingsStore& store, const QString& name, QWidget& window);
// frame moved, and unless fixedSize made no larger than area, to lie whole within area.
QRect clamped_into(QRect frame, const QRect& area, bool fixedSize);
// Moves the window so that its frame's top left corner is at corner. Before a window is
// first shown, the window manager puts the frame there; a window made and shown whose frame
// is not known yet would have its contents put there instead, a frame's height too low.
void place_frame(QWidget& window, const QPoint& corner);
// A first place for a window that has none: beside the anchor window, moved as far as
// needed to lie whole within the anchor's screen.
void place_beside(QWidget& window, const QWidget& anchor);
// Places a wide window at the foot of the anchor's screen, centred under the anchor, and
// no taller than the room below the anchor where that leaves it of use, so that the
// anchor stays in sight.
void place_at_foot(QWidget& window, const QWidget& anchor);

}  // namespace vocanta
