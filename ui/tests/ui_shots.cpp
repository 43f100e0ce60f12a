// Pictures and start-up numbers of the main window, for looking at it.
//
//   kalynth_ui_shots <folder>        screenshots of the window in its states
//                                    and of the prompts, as PNG files
//   kalynth_ui_shots --measure       prints: process start -> window shown,
//                                    resident memory after start, one
//                                    SetLunarDate with the calendar warm
//   kalynth_ui_shots --lunar         prints the time of the first (cold)
//                                    lunar-date computation of a process
//
// Runs on any Qt platform (offscreen, or xcb under Xvfb). The settings go to
// a temporary folder; the clock is fixed for the screenshots.
#include <unistd.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

#include "core/yarrow.h"
#include "ui/Application.h"
#include "ui/LunarLists.h"
#include "ui/Platform.h"
#include "ui/kalynth.h"
#include "ui/tests/TestSupport.h"

namespace {

// Seconds since this process started, from /proc (10 ms resolution).
double SecondsSinceProcessStart() {
  QFile stat(QStringLiteral("/proc/self/stat"));
  QFile uptime(QStringLiteral("/proc/uptime"));
  if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly)) return -1;
  const QByteArray s = stat.readAll();
  const QList<QByteArray> fields = s.mid(s.lastIndexOf(')') + 2).split(' ');
  const double startTicks = fields.value(19).toDouble();  // field 22 of the whole line
  const double up = uptime.readAll().split(' ').value(0).toDouble();
  return up - startTicks / double(sysconf(_SC_CLK_TCK));
}

long ResidentKilobytes() {
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
  return -1;
}

class ShotPlatform : public ui::Platform {
 public:
  QDateTime clock = QDateTime(QDate(2024, 2, 10), QTime(10, 12, 34));
  QString savePath;  // what the save dialog answers
  QDateTime now() override { return clock; }
  // The save prompt before a casting: not saved.
  ui::Answer warningYesNoCancel(QWidget*, const QString&) override { return ui::Answer::No; }
  QString saveFileName(QWidget*, const ui::FileDialogRequest&) override { return savePath; }
};

// Shows a prompt of the real platform, grabs it once it is up, closes it.
void ShotOfModal(const QString& file, const std::function<void()>& open) {
  QTimer::singleShot(300, [file] {
    QWidget* box = QApplication::activeModalWidget();
    if (!box) return;
    box->grab().save(file);
    box->close();
  });
  open();
}

void Save(QWidget* w, const QString& folder, const char* name) {
  QApplication::processEvents();
  w->grab().save(folder + QLatin1Char('/') + QLatin1String(name));
}

}  // namespace

int main(int argc, char** argv) {
  ui::test::IsolateSettings();
  const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("shots");

  if (mode == QLatin1String("--lunar")) {
    QElapsedTimer t;
    t.start();
    const auto s = ui::ComputeLunarSelection(45000.5, calendar::TimeSettings{});
    std::printf("first lunar-date computation: %.1f ms (month %d day %d)\n", t.nsecsElapsed() / 1e6, s.month,
                s.day);
    return 0;
  }

  ui::KalynthApplication app(argc, argv);
  ui::InstallRussianTranslation(app);

  if (mode == QLatin1String("--measure")) {
    QElapsedTimer creation;
    creation.start();
    auto* w = new TFormKalynth(QStringList{});
    const double created = creation.nsecsElapsed() / 1e6;
    w->show();
    if (!QTest::qWaitForWindowExposed(w)) return 1;
    const double shown = SecondsSinceProcessStart();
    QApplication::processEvents();
    std::printf("process start -> main window shown: %.0f ms (epoch ms at shown: %lld)\n", shown * 1000,
                QDateTime::currentMSecsSinceEpoch());
    std::printf("main window creation (cold SetLunarDate included): %.1f ms\n", created);
    std::printf("resident memory after start: %.1f MB\n", ResidentKilobytes() / 1024.0);
    QElapsedTimer t;
    t.start();
    const int runs = 20;
    for (int i = 0; i < runs; ++i) w->SetLunarDate(45330.5 + i);
    std::printf("SetLunarDate, warm, mean of %d: %.2f ms\n", runs, t.nsecsElapsed() / 1e6 / runs);
    delete w;
    return 0;
  }

  // KALYNTH_HIGH_CONTRAST=1: the windows in a dark high-contrast palette, as
  // a desktop's high-contrast theme gives it (white on black, yellow links
  // and selection).
  if (qEnvironmentVariableIntValue("KALYNTH_HIGH_CONTRAST")) {
    QPalette dark;
    for (QPalette::ColorRole role :
         {QPalette::Window, QPalette::Base, QPalette::AlternateBase, QPalette::Button, QPalette::ToolTipBase})
      dark.setColor(role, Qt::black);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                                     QPalette::ToolTipText, QPalette::BrightText})
      dark.setColor(role, Qt::white);
    dark.setColor(QPalette::Highlight, Qt::yellow);
    dark.setColor(QPalette::HighlightedText, Qt::black);
    dark.setColor(QPalette::Link, Qt::yellow);
    dark.setColor(QPalette::PlaceholderText, QColor(0xc0, 0xc0, 0xc0));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    QApplication::setPalette(dark);
  }

  const QString folder = mode;
  QDir().mkpath(folder);
  ShotPlatform platform;
  ui::ScopedPlatform scoped(&platform);

  TFormKalynth w;
  w.show();
  if (!QTest::qWaitForWindowExposed(&w)) return 1;
  Save(&w, folder, "idle.png");

  // Number entry.
  const char* codes[6] = {"588", "588", "544", "588", "588", "588"};
  for (int n = 1; n <= 6; ++n) w.LineEdit(n)->setText(QString::fromLatin1(codes[n - 1]));
  w.Button1Click();
  w.controls().Edit7->setText(QStringLiteral("Семья: всё на своих местах"));
  Save(&w, folder, "numbers.png");

  // Yarrow stalks, half way and finished.
  core::ProgramRandom().setState(0);
  w.ToolButton1Click();
  for (int i = 0; i < 7; ++i) {
    QToolButton* steps[3] = {w.controls().ToolButton4, w.controls().ToolButton5, w.controls().ToolButton6};
    for (QToolButton* b : steps)
      if (b->isEnabled()) {
        b->click();
        break;
      }
  }
  Save(&w, folder, "yarrow-running.png");
  while (w.Model().yarrowActive()) {
    QToolButton* steps[3] = {w.controls().ToolButton4, w.controls().ToolButton5, w.controls().ToolButton6};
    for (QToolButton* b : steps)
      if (b->isEnabled()) {
        b->click();
        break;
      }
  }
  Save(&w, folder, "yarrow.png");

  // Date casting, expanded with comments.
  w.controls().GodCombo->setCurrentIndex(4);
  w.controls().Mes->setCurrentIndex(2);
  w.controls().Day->setCurrentIndex(14);
  w.controls().Chas->setCurrentIndex(6);
  w.ToolButton2Click();
  Save(&w, folder, "date.png");
  w.controls().CommentsMemo->setPlainText(
      QStringLiteral("Мэн. Недоразвитость.\nНе я ищу юношу, а юноша ищет меня.\nПервое гадание сообщает."));
  w.ToolButton10Click();
  QTest::qWait(200);
  Save(&w, folder, "expanded.png");
  w.ToolButton10Click();
  QTest::qWait(200);

  // The double hours dropped down.
  w.controls().Chas->showPopup();
  QTest::qWait(300);
  w.controls().Chas->view()->window()->grab().save(folder + QStringLiteral("/chas-list.png"));
  w.controls().Chas->hidePopup();

  // The prompts, with the real boxes of the platform.
  ui::Platform real;
  ShotOfModal(folder + QStringLiteral("/prompt-save.png"), [&] {
    real.warningYesNoCancel(&w, QStringLiteral("Сохранить изменения в файле гадание.kly?"));
  });
  ShotOfModal(folder + QStringLiteral("/prompt-abort.png"),
              [&] { real.confirmYesNo(&w, QStringLiteral("Прервать гадание?")); });
  ShotOfModal(folder + QStringLiteral("/prompt-not-a-record.png"), [&] {
    real.error(&w, QStringLiteral("File /home/user/список.txt Этот файл не является файлом KALYNTH"));
  });
  ShotOfModal(folder + QStringLiteral("/prompt-codepage.png"), [&] {
    w.controls().Edit7->setText(QStringLiteral("甲子"));
    platform.savePath = QDir::tempPath() + QStringLiteral("/kalynth-shot.kly");
    w.Saveas1Click();
  });
  ShotOfModal(folder + QStringLiteral("/dialog-save.png"), [&] {
    ui::FileDialogRequest r;
    r.fileName = QStringLiteral("Untitle1");
    r.filter = QStringLiteral("Kalynth files (*.kly)");
    r.defaultSuffix = QStringLiteral("kly");
    real.saveFileName(&w, r);
  });
  QFile::remove(QDir::tempPath() + QStringLiteral("/kalynth-shot.kly"));

  return 0;
}
