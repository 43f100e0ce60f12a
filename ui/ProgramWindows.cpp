#include "ui/ProgramWindows.h"

#include "ui/czaczy.h"
#include "ui/kalynth.h"
#include "ui/reading.h"
#include "ui/sett.h"

namespace ui {

void HandOver(TFormKalynth* main, TSettForm* settings, const ProgramWindows& windows) {
  if (main) main->SetWindows(windows);
  if (main && windows.reading) {
    TFormReading* reading = windows.reading;
    reading->ShowCast(main->ShownCast());
    QObject::connect(main, &TFormKalynth::divinationChanged, reading,
                     [main, reading] { reading->ShowCast(main->ShownCast()); });
  }
  if (!settings) return;
  settings->SetWindows(windows);
  if (windows.calendar)
    QObject::connect(settings, &TSettForm::timeSettingsChanged, windows.calendar,
                     &TFormCzaczy::SetTimeSettings);
}

}  // namespace ui
