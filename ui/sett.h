// TSettForm: the modal "Установки" dialog.
//
// Sets the hints of the main window, the time correction and the time zone
// of the calendar computations, and which of the six tool windows stay on
// top of other windows. Created once at start-up, shown from the main
// window's "Установки..." (N6Click).
//
//   FormCreate   (constructor) the seven check boxes from the store, group
//                "Set"; they keep what the user ticks until the next OK,
//                also across Cancel
//   FormShow     (every showing) the two lists select the main window's
//                TimeCorrectionIndex and TimeZoneIndex (no selection when
//                the index lies outside the list)
//   BitBtn1Click (OK) applies, in this order: hints; stay-on-top of the six
//                windows; the two indexes (zone: the entry whose text the
//                box holds exactly, else -1), announced as
//                timeSettingsChanged (the main window takes them); the store; the status text;
//                the calendar window's display; the main window's date lists
//                when it shows no hexagram; the dialog closes
//   BitBtn2      (Cancel) closes, applying nothing
//
// The tool windows are handed over by the start-up code (SetWindows); a
// window not created (tests) is left out.
#pragma once

#include <QDialog>
#include <QStringList>
#include <array>

#include "calendar/time_settings.h"
#include "ui/ProgramWindows.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class TFormKalynth;

class TSettForm : public QDialog {
  Q_OBJECT
 public:
  // mainWindow: the program's main window (not null).
  explicit TSettForm(TFormKalynth* mainWindow, QWidget* parent = nullptr);
  ~TSettForm() override;
  // The tool windows whose level the "Поверх всех окон" boxes set, and the
  // calendar recomputed on OK (from the start-up code).
  void SetWindows(const ui::ProgramWindows& windows) { windows_ = windows; }

  // The list entries: "-3" .. "+3"; "GMT -12" .. "GMT -1", "GMT ", "GMT +1" .. "GMT +13".
  static QStringList CorrectionEntries();
  static QStringList ZoneEntries();

  void FormShow();
  void BitBtn1Click();

  QCheckBox* CheckHint = nullptr;
  QLabel* Label1 = nullptr;  // "Поправка времени (час)"
  QComboBox* ComboBoxLetnee = nullptr;
  QLabel* Label2 = nullptr;  // "Часовой пояс"
  QComboBox* GMTCombo = nullptr;
  QLabel* Label4 = nullptr;  // "Предупреждать о смене даты гадания за (мин)"
  QSpinBox* BoundaryMinutes = nullptr;
  QLabel* Label3 = nullptr;  // "Поверх всех окон:"
  QCheckBox* CheckCall = nullptr;
  QCheckBox* CheckVenVan = nullptr;
  QCheckBox* CheckBoxDiag = nullptr;
  QCheckBox* CheckUsin = nullptr;
  QCheckBox* CheckStvoly = nullptr;
  QCheckBox* CheckReading = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;

 signals:
  // OK pressed: the settings of the two lists.
  void timeSettingsChanged(const calendar::TimeSettings& settings);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormCreate();
  void ApplyStayOnTop();
  void RecomputeCalendar();

  TFormKalynth* main_;
  ui::ProgramWindows windows_;
};
