#include "ui/shell/Windows.h"

#include "ui/CastDays.h"
#include "ui/about.h"
#include "ui/czaczy.h"
#include "ui/diag.h"
#include "ui/journal.h"
#include "ui/kalynth.h"
#include "ui/reading.h"
#include "ui/sett.h"

namespace ui {

Windows::Windows(const QStringList& arguments) {
  main_ = std::make_unique<TFormKalynth>(arguments);
  TFormKalynth* main = main_.get();
  const KalynthControls& items = main->controls();
  const QString folder = main->programFolder();

  diagramm_ = std::make_unique<TDiagramm>(main, items.Table1, folder);
  about_ = std::make_unique<TAboutBox>(TAboutBox::BuildInfo(folder), main);
  settings_ = std::make_unique<TSettForm>(main, main);
  calendar_ = std::make_unique<TFormCzaczy>(main, items.Chza1, main->timeSettings(),
                                            [main](astro::TDateTime t) { main->SetLunarDate(t); });
  usin_ = std::make_unique<TUsin>(main, items.DiagUsin, folder);
  legenda_ = std::make_unique<Tlegenda>(main, items.StvilyVetvi, folder);
  venvan_ = std::make_unique<TFormVenvan>(main, items.VenVan, folder);
  // The days the user cast on, for the calendar, from the journal's
  // folder: read whenever the calendar is shown, and after every save.
  castDays_ = std::make_unique<CastDays>([main] { return JournalFolder(main->currentFileName()); });
  calendar_->SetCastDays(castDays_.get(), [main](const QString& path) {
    main->OpenMyDropOrClickFile(path);
    main->BringToFront();
  });
  QObject::connect(main, &TFormKalynth::recordSaved, castDays_.get(),
                   [days = castDays_.get(), calendar = calendar_.get()] {
                     if (calendar->isVisible()) days->Scan();
                   });
  reading_ = std::make_unique<TFormReading>(
      main, items.Reading1, [main](int n, const QString& anchor) { main->OpenHexagramPage(n, anchor); });

  ProgramWindows windows;
  windows.about = about_.get();
  windows.settings = settings_.get();
  windows.calendar = calendar_.get();
  windows.diagramm = diagramm_.get();
  windows.legenda = legenda_.get();
  windows.venvan = venvan_.get();
  windows.usin = usin_.get();
  windows.reading = reading_.get();
  HandOver(main, settings_.get(), windows);
}

Windows::~Windows() {
  // The tool windows and dialogs first, the main window last.
  reading_.reset();
  calendar_.reset();  // before the days it reads
  castDays_.reset();
  venvan_.reset();
  legenda_.reset();
  usin_.reset();
  calendar_.reset();
  settings_.reset();
  about_.reset();
  diagramm_.reset();
  main_.reset();
}

}  // namespace ui
