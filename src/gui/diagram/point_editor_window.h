#pragma once

#include <QWidget>

namespace vocanta {

// The numeric point editor shared by all parameter windows. Its fields and commands
// come with curve editing; here it is the tool window whose visibility follows the
// parameter windows.
class TForm5 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm5(QWidget* parent = nullptr);
};

}  // namespace vocanta
