#pragma once

#include <QCursor>
#include <array>

namespace vocanta {

// The six cursors of the diagram's editing modes, registered under fixed numbers:
// 1 DELPOINT, 2 ADDPOINT, 3 MOVPOINT, 4 MOVHOR, 5 MOVVER, 6 MOVBACK.
class EditCursors {
 public:
  EditCursors();
  QCursor cursor(int number) const;

 private:
  std::array<QCursor, 6> cursors_;
};

}  // namespace vocanta
