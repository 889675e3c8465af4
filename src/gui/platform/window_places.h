#pragma once

#include <QString>

class QWidget;

namespace vocanta {

class SettingsStore;

// Where each window was when the program last ended, kept in the per-user store's
// section "Windows" as "left,top,width,height" under the window's name.
void save_window_place(SettingsStore& store, const QString& name, const QWidget& window);
// Puts the window back where it was, if that place lies on one of the screens now
// attached; a window of fixed size only moves. False when nothing was restored.
bool restore_window_place(const SettingsStore& store, const QString& name, QWidget& window);
// A first place for a window that has none: beside the anchor window, moved as far as
// needed to lie whole within the anchor's screen.
void place_beside(QWidget& window, const QWidget& anchor);
// Places a wide window at the foot of the anchor's screen, centred under the anchor, and
// no taller than the room below the anchor where that leaves it of use, so that the
// anchor stays in sight.
void place_at_foot(QWidget& window, const QWidget& anchor);

}  // namespace vocanta
