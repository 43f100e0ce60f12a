// TFormEntry: the dialog "Готовое гадание", for a cast made away from the
// computer (coins or stalks at the table, a book).
//
// The user types the six line values from the bottom up ("789698"), or
// picks the hexagram's King Wen number and ticks its changing lines; the
// dialog shows the figure's numbers as they are typed and, on OK, hands the
// six line codes (core/entry.h) to the main window, which fills its line
// fields and casts them as ">>" does. A bad entry names its character and
// position and changes nothing; OK stays disabled until the entry is good.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "core/entry.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

class TFormEntry : public QDialog {
  Q_OBJECT
 public:
  using CastFunction = std::function<void(const std::array<std::string, 6>& codes)>;
  TFormEntry(CastFunction cast, QWidget* parent = nullptr);

  QRadioButton* ByValues = nullptr;       // "Значения черт"
  QLineEdit* ValuesEdit = nullptr;        // "789698"
  QRadioButton* ByHexagram = nullptr;     // "Номер гуа и меняющиеся черты"
  QSpinBox* HexagramBox = nullptr;        // 1..64
  std::array<QCheckBox*, 6> LineBoxes{};  // changing lines 1..6 (bottom first)
  QLabel* ResultLabel = nullptr;          // the numbers, or what is wrong
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

  // The entry as it stands now.
  core::EnteredCodes Entry() const;
  void OkButtonClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void EntryChange();
  CastFunction cast_;
};
