// ui::Windows: the one owner of KALYNTH's windows.
//
// Creates them once, in the program's start-up order, and hands each what
// it needs:
//   1. the main window (TFormKalynth) with the command-line arguments; it
//      reads its own place and settings, the others rely on it;
//   2. the picture window "Диаграмма «Стволы-ветви»" (TDiagramm);
//   3. the about box (TAboutBox) and 4. the settings dialog (TSettForm);
//   5. the calendar window (TFormCzaczy) with the main window's time
//      settings and its "set lunar date" callback;
//   6. the other picture windows: TUsin, Tlegenda, TFormVenvan;
//   7. the reading window (TFormReading), which follows the main window's
//      divination and opens pages through it.
// Then the main window gets the dialogs and tool windows its menu items
// open, and the settings dialog the tool windows it configures; a change
// of the time settings reaches the main window and the calendar.
//
// The windows live as long as the owner; the tool windows and dialogs are
// destroyed before the main window (members in reverse creation order),
// each writing its position as it goes. Nothing is shown here: the caller
// shows main().
#pragma once

#include <QStringList>
#include <memory>

class TAboutBox;
class TDiagramm;
class TFormCzaczy;
class TFormKalynth;
class TFormReading;
class TFormVenvan;
class TSettForm;
class TUsin;
class Tlegenda;

namespace ui {

class CastDays;

class Windows {
 public:
  explicit Windows(const QStringList& arguments);
  ~Windows();
  Windows(const Windows&) = delete;
  Windows& operator=(const Windows&) = delete;

  TFormKalynth& main() { return *main_; }
  TFormCzaczy& calendar() { return *calendar_; }
  TSettForm& settings() { return *settings_; }
  TFormReading& reading() { return *reading_; }

 private:
  std::unique_ptr<TFormKalynth> main_;
  std::unique_ptr<TDiagramm> diagramm_;
  std::unique_ptr<TAboutBox> about_;
  std::unique_ptr<TSettForm> settings_;
  std::unique_ptr<TFormCzaczy> calendar_;
  std::unique_ptr<TUsin> usin_;
  std::unique_ptr<Tlegenda> legenda_;
  std::unique_ptr<TFormVenvan> venvan_;
  std::unique_ptr<TFormReading> reading_;
  std::unique_ptr<CastDays> castDays_;
};

}  // namespace ui
