#pragma once

#include <QDialog>
#include <array>
#include <functional>

#include "core/model/parameter_table.h"

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace vocanta {

class Session;

// Opens chosen parts of a document into the current voice: the common section (the
// settings and the batches) and any of the parameters.
class PartialOpenDialog : public QDialog {
  Q_OBJECT

 public:
  explicit PartialOpenDialog(Session& session, QWidget* parent = nullptr);

  // One unchecked box per parameter, captioned with its title and wide enough to show it;
  // "Common section" keeps its state.
  void rebuild_parameter_boxes();
  // The hints of the parameter boxes: "Load " and the title.
  void apply_hints();
  // The Open button: refuses an empty choice, otherwise opens with the choice.
  void open_clicked();

  QGroupBox* checkgroup = nullptr;
  QCheckBox* commoncheck = nullptr;
  std::array<QCheckBox*, kParameterCount> parameterChecks{};
  QPushButton* openbutton = nullptr;
  QPushButton* cancelbutton = nullptr;

 private:
  void lay_out();

  Session& session_;
};

}  // namespace vocanta
