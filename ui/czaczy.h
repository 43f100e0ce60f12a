// TFormCzaczy: the calendar window "Календарь".
//
// For a chosen moment (the date of DateTimePicker1 with the time of
// DateTimePicker2) the window shows the stem and branch of the year, the
// season month, the day and the double hour as sign pictures, the season
// month's name and the solar term; ButtonNow shows the running clock and
// computes for now. With CheckMoon ticked every recomputation from the
// pickers or from ButtonNow also sets the main window's four date lists
// (through the callback the start-up code hands over).
//
// The window only moves values: the signs come from calendar::ComputePillars
// (the same computation as `kalynth-calc pillars`) with the time settings
// in force, their names from calendar/signs.h. Position, shown state
// with the "Календарь" item of "Прочее" (Chza1), close box and stay on top
// are the rules of every tool window (ui/ToolWindow.h).
//
// Public API (the main window's start-up, the settings dialog, tests):
//   TFormCzaczy(mainWindow, menuItem, timeSettings, setLunarDate)
//       mainWindow: the default place and the window it stays above;
//       menuItem: the "Календарь" item it ticks; timeSettings: what the
//       computations count with until SetTimeSettings; setLunarDate: fills
//       the main window's date lists (may be empty). Creates the window
//       (FormCreate): reads its
//       place (default: left of the main window), CheckMoon and stay on top
//       from the settings store, shows itself when "Form"/"CzaczyShow" says
//       so, and computes for now. Create it after the main window.
//   ~TFormCzaczy()             FormDestroy: writes its position and
//       "Set"/"CheckMoon".
//   void SetTimeSettings(TimeSettings)   new settings (the settings dialog's
//       timeSettingsChanged); the next computation counts with them
//   void DateTimePicker1Change()  recompute for the window moment (the
//       settings dialog's OK runs it after new time settings)
//   void SetStaysOnTop(bool)      from TToolWindow (the settings dialog's OK)
//   astro::TDateTime WindowMoment() const   the moment of the pickers
//   static QString DateTimeText(const QDateTime&)   "10.02.2024 12:00:00";
//       the regional short date and long time; midnight gives the date alone
//
// Errors of the calendar end the handler that met them and reach the
// program's error box (ui::RunCommand), leaving the controls written so far.
#pragma once

#include <QDateTime>
#include <functional>

#include "astro/constants.h"
#include "calendar/time_settings.h"
#include "ui/ToolWindow.h"

class QCheckBox;
class QDateTimeEdit;
class QLabel;
class QListWidget;
namespace ui {
class CastDays;
}
class QPushButton;
class QTimeEdit;
class QTimer;

class TFormCzaczy : public ui::TToolWindow {
  Q_OBJECT

 public:
  using SetLunarDateFunction = std::function<void(astro::TDateTime)>;
  TFormCzaczy(QWidget* mainWindow, QAction* menuItem, const calendar::TimeSettings& timeSettings,
              SetLunarDateFunction setLunarDate);
  ~TFormCzaczy() override;

  // --- controls (object names equal the member names) ---------------------
  QDateTimeEdit* DateTimePicker1 = nullptr;  // the date (its time follows DateTimePicker2)
  QTimeEdit* DateTimePicker2 = nullptr;      // the time
  QPushButton* ButtonNow = nullptr;
  QLabel* Label2 = nullptr;    // "Расчет произведен на:"
  QLabel* LabelNow = nullptr;  // the moment shown
  QLabel *Label6 = nullptr, *StvolYahr = nullptr, *VetvYahr = nullptr;    // "Год:"
  QLabel *Label5 = nullptr, *StvolMonth = nullptr, *VetvMonth = nullptr;  // "Сезон:"
  QLabel *Label1 = nullptr, *StvolDay = nullptr, *VetvDay = nullptr;      // "Знаки дня:"
  QLabel *Label3 = nullptr, *StvolChas = nullptr, *VetvChas = nullptr;    // "Знаки часа:"
  QLabel* BigSeason = nullptr;
  QLabel* SmolSeason = nullptr;
  QCheckBox* CheckMoon = nullptr;
  QLabel* DayCastsLabel = nullptr;  // "Гаданий в этот день: N"
  QListWidget* DayCasts = nullptr;  // the divinations cast on the chosen day
  QLabel* Stvol[11] = {};           // Stvol[1] .. Stvol[10]: hidden, the stem pictures
  QLabel* Vetv[13] = {};            // Vetv[1] .. Vetv[12]: hidden, the branch pictures
  QTimer* Timer1 = nullptr;

  // --- handlers, in the window's order -------------------------------------
  void ButtonNowClick();
  void SetMyCalendar(astro::TDateTime x);
  void ShowSigns(QLabel* stemImage, QLabel* branchImage, int stem, int branch);
  void DateTimePicker1Change();
  void CheckMoonClick();
  void Timer1Timer();
  void SetTimeSettings(const calendar::TimeSettings& settings) { timeSettings_ = settings; }
  // The days the user cast on (scanned now and whenever asked), and what
  // opens one of their records.
  void SetCastDays(ui::CastDays* days, std::function<void(const QString&)> openRecord);
  // The chosen day's divinations into DayCasts; the picker marks the day.
  void ShowDayCasts();

  astro::TDateTime WindowMoment() const;
  static QString DateTimeText(const QDateTime& moment);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void CreateControls();
  void FormCreate();
  void FormDestroy();

  calendar::TimeSettings timeSettings_;
  SetLunarDateFunction setLunarDate_;
  ui::CastDays* castDays_ = nullptr;
  QDate shownDay_;              // the day DayCasts shows
  unsigned shownRevision_ = 0;  // of castDays_ (+1; 0 without)
  std::function<void(const QString&)> openRecord_;
};
