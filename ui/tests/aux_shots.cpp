// Pictures of the about box, the settings dialog and the four picture
// windows, for looking at them:
//
//   kalynth_aux_shots <folder>
//
// Runs on any Qt platform (offscreen, or xcb under Xvfb). The settings go to
// a temporary folder; the picture windows read bmp/ beside the program.
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <cstdio>

#include "ui/Application.h"
#include "ui/about.h"
#include "ui/diag.h"
#include "ui/kalynth.h"
#include "ui/sett.h"
#include "ui/tests/TestSupport.h"

namespace {

void Shot(QWidget* w, const QString& file) {
  w->show();
  if (!QTest::qWaitForWindowExposed(w)) std::fprintf(stderr, "not exposed: %s\n", qPrintable(file));
  QTest::qWait(200);
  w->grab().save(file);
}

}  // namespace

int main(int argc, char** argv) {
  ui::test::IsolateSettings();
  ui::KalynthApplication app(argc, argv);
  ui::InstallRussianTranslation(app);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  QDir().mkpath(folder);

  TFormKalynth main;
  main.show();
  TAboutBox about(TAboutBox::BuildInfo(main.programFolder()), &main);
  Shot(&about, folder + QStringLiteral("/about.png"));
  about.hide();
  AboutInfo withMail = TAboutBox::BuildInfo(main.programFolder());
  withMail.web = QUrl(QStringLiteral("https://example.org/kalynth"));
  withMail.mail = QStringLiteral("author@example.org");
  TAboutBox aboutWithMail(withMail, &main);
  Shot(&aboutWithMail, folder + QStringLiteral("/about-mail.png"));
  aboutWithMail.hide();
  TSettForm sett(&main);
  Shot(&sett, folder + QStringLiteral("/settings.png"));
  sett.hide();

  TDiagramm diagramm(&main, main.controls().Table1, main.programFolder());
  Tlegenda legenda(&main, main.controls().StvilyVetvi, main.programFolder());
  TFormVenvan venvan(&main, main.controls().VenVan, main.programFolder());
  TUsin usin(&main, main.controls().DiagUsin, main.programFolder());
  const std::pair<TPictureWindow*, const char*> pictures[] = {
      {&diagramm, "diagramm.png"}, {&legenda, "legenda.png"}, {&venvan, "venvan.png"}, {&usin, "usin.png"}};
  for (const auto& [w, name] : pictures) {
    w->Toggle();
    Shot(w, folder + QLatin1Char('/') + QLatin1String(name));
    w->Toggle();
  }

  // The menu bar and "Прочее" with two windows shown: Alt letters not
  // underlined, the items of the shown windows ticked.
  venvan.Toggle();
  usin.Toggle();
  main.menuBar()->grab().save(folder + QStringLiteral("/menubar.png"));
  main.controls().OtherMenu->popup(main.mapToGlobal(QPoint(0, 0)));
  QTest::qWait(300);
  main.controls().OtherMenu->grab().save(folder + QStringLiteral("/menu-other.png"));
  main.controls().OtherMenu->hide();
  return 0;
}
