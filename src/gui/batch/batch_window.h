#pragma once

#include <QWidget>

namespace vocanta {

// The batch window lists the batches and starts batch builds; its controls come with
// batch editing. The batch records themselves live in the voice.
class TForm3 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm3(QWidget* parent = nullptr);
};

}  // namespace vocanta
