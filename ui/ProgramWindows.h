// The windows that KALYNTH's start-up (ui/shell/Windows.h) creates once and
// hands to the windows that open or configure them: the main window shows
// the two dialogs and toggles the tool windows from its "Прочее" items; the
// settings dialog sets each tool window's stay-on-top level and recomputes
// the calendar. A null member is a window that was not created (a test
// that builds only some of them).
#pragma once

class QDialog;
class TFormCzaczy;
class TFormKalynth;
class TFormReading;
class TSettForm;

namespace ui {

class TToolWindow;

struct ProgramWindows {
  QDialog* about = nullptr;     // "О программе"
  QDialog* settings = nullptr;  // "Установки"
  TFormCzaczy* calendar = nullptr;
  TFormReading* reading = nullptr;  // "Толкование" (Reading1)
  TToolWindow* diagramm = nullptr;  // "Диаграмма «Стволы-ветви»" (Table1)
  TToolWindow* legenda = nullptr;   // "Стволы-ветви" (StvilyVetvi)
  TToolWindow* venvan = nullptr;    // "Диаграмма Вень-вана" (VenVan)
  TToolWindow* usin = nullptr;      // "Диаграмма «У-син»" (DiagUsin)
};

// Hands the windows over: to the main window (its menu items), to the
// settings dialog (stay on top, the calendar's recomputation), the
// dialog's new time settings to the calendar, and every redraw of the main
// window's divination to the reading window. Null main or settings: that
// part is left out.
void HandOver(TFormKalynth* main, TSettForm* settings, const ProgramWindows& windows);

}  // namespace ui
