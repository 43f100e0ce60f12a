#include "ui/ProgramWindows.h"

#include "ui/czaczy.h"
#include "ui/kalynth.h"
#include "ui/sett.h"

namespace ui {

void HandOver(TFormKalynth* main, TSettForm* settings, const ProgramWindows& windows) {
  if (main) main->SetWindows(windows);
  if (!settings) return;
  settings->SetWindows(windows);
  if (windows.calendar)
    QObject::connect(settings, &TSettForm::timeSettingsChanged, windows.calendar,
                     &TFormCzaczy::SetTimeSettings);
}

}  // namespace ui
