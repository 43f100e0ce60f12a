// The divination sheet: painted into an image (the figures where the layout
// says, each with the lines of its number), exported to PDF (a real PDF
// whose text, Cyrillic and the classical Chinese of the reading included,
// pdftotext reads back), the reading's headings kept with their texts
// across page breaks, the refusal of an empty sheet, an unwritable path,
// and the two items of the "Файл" menu.
//
// Expected figures and numbers are worked by hand from the King Wen table:
// codes 588 588 544 588 588 588 give 1, 37 and 10 (third line changes);
// the date-cast fixture has the primary figure yang, yin, yang, yin, yang,
// yin (63) with line 1 changing: nuclear 64, changed yin, yin, yang, yin,
// yang, yin (lower Mountain, upper Water: 39).
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>
#include <stdexcept>

#include "core/hextexts.h"
#include "records/mapping.h"
#include "records/record.h"
#include "sheet/sheet.h"
#include "ui/kalynth.h"
#include "ui/tests/TestSupport.h"

namespace {

records::Record CodesRecord() {
  records::Record r;
  r.lineCodes = {"588", "588", "544", "588", "588", "588"};
  r.note = QStringLiteral("Вопрос о переезде весной");
  r.comments = QStringLiteral("Первая мысль: ждать.\n\nЁлка, щука и съезд.");
  return r;
}

records::Record DateRecord() {
  records::Record r;
  r.lineCodes = {"", "", "", "", "", ""};
  r.note = QStringLiteral("Гадание по дате");
  r.btn2 = true;
  r.gua = {true, false, true, false, true, false};
  r.jaoNo = 1;
  r.yah = 0;   // year Цзы
  r.mon = 4;   // month 5
  r.day = 11;  // day 12
  r.hour = 6;  // double hour У, 11:00 to 13:00
  return r;
}

// The divination a record opens to, as the window and kalynth-calc read it.
core::Divination Restored(const records::Record& record) {
  core::Divination d;
  records::Restore(d, record);
  return d;
}

// Lines 1, 2 and 3 of 61 (Lake below, Wind above) change: the reading is
// the judgement and the image of 61, then of 53 (Mountain below, Wind
// above), four texts under four headings.
records::Record ThreeLinesRecord() {
  records::Record r;
  r.lineCodes = {"544", "544", "988", "584", "948", "588"};
  r.note = QStringLiteral("Три меняющиеся черты");
  return r;
}

// Our wording and the classical text of line `line` of hexagram n.
QStringList LineTexts(int n, int line) {
  const core::HexagramTexts& t = core::TextsOfHexagram(n);
  const auto i = static_cast<std::size_t>(line - 1);
  return {QString::fromUtf8(t.lines[i].data(), qsizetype(t.lines[i].size())),
          QString::fromUtf8(t.lines_zh[i].data(), qsizetype(t.lines_zh[i].size()))};
}

QString Judgement(int n) {
  const std::string_view j = core::TextsOfHexagram(n).judgement;
  return QString::fromUtf8(j.data(), qsizetype(j.size()));
}

const ui::SheetFooter Footer{QStringLiteral("/home/user/записи/переезд.kly"),
                             QDateTime(QDate(2024, 2, 10), QTime(12, 30))};

// Lines of a painted figure read back from the image: the six dark bands
// down the figure's left edge are its lines; a line whose middle is dark is
// yang. Returned bottom line first, as "101011".
QString ReadFigure(const QImage& image, const QRectF& r) {
  auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 100; };
  const int edge = qRound(r.left()) + 2, middle = qRound(r.center().x());
  QList<int> centres;
  int start = -1;
  for (int y = qRound(r.top()) - 2; y <= qRound(r.bottom()) + 2; ++y) {
    if (dark(edge, y) && start < 0) start = y;
    if (!dark(edge, y) && start >= 0) {
      centres << (start + y - 1) / 2;
      start = -1;
    }
  }
  if (centres.size() != 6) return QStringLiteral("%1 bands").arg(centres.size());
  QString lines;
  for (int i = 5; i >= 0; --i) lines += dark(middle, centres[i]) ? QLatin1Char('1') : QLatin1Char('0');
  return lines;
}

QString PdfText(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"),
          {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
  if (!p.waitForFinished(20000) || p.exitCode() != 0) return QString();
  return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

class TestSheet : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ui::test::IsolateSettings(); }

  void figuresInTheImage_data() {
    QTest::addColumn<int>("fixture");
    QTest::addColumn<QStringList>("figures");  // primary, nuclear, changed, bottom line first
    QTest::newRow("codes 1-37-10") << 0 << QStringList{"111111", "101011", "110111"};
    QTest::newRow("date 63-64-39") << 1 << QStringList{"101010", "010101", "001010"};
  }
  void figuresInTheImage() {
    QFETCH(int, fixture);
    QFETCH(QStringList, figures);
    const core::Divination d = Restored(fixture == 0 ? CodesRecord() : DateRecord());
    // An A4 page at 150 dots per inch.
    QImage image(1240, 1754, QImage::Format_RGB32);
    image.setDotsPerMeterX(5906);
    image.setDotsPerMeterY(5906);
    image.fill(Qt::white);
    QPainter painter(&image);
    int extraPages = 0;
    const ui::SheetLayout layout =
        ui::PaintSheet(painter, QRectF(100, 90, 1040, 1570), d, Footer, [&] { ++extraPages; });
    painter.end();
    QCOMPARE(layout.pages, 1);
    QCOMPARE(extraPages, 0);
    for (int i = 0; i < 3; ++i) {
      const QRectF r = layout.figures[static_cast<std::size_t>(i)];
      QVERIFY2(!r.isEmpty(), qPrintable(QString::number(i)));
      // On the page, in its upper half, left to right.
      QVERIFY(QRectF(100, 90, 1040, 1570).contains(r));
      QVERIFY(r.bottom() < 1754 / 2);
      if (i > 0) QVERIFY(r.left() > layout.figures[static_cast<std::size_t>(i - 1)].right());
      // Sharp: the edges fall on whole pixels.
      QCOMPARE(r.left(), std::round(r.left()));
      QCOMPARE(ReadFigure(image, r), figures[i]);
    }
    // The changing line of the primary figure carries a red mark to its right.
    const int changing = fixture == 0 ? 3 : 1;
    const QRectF p = layout.figures[0];
    const double band = p.height() / 6;
    const int y = qRound(p.bottom() - (changing - 0.5) * band);
    bool red = false;
    for (int x = qRound(p.right()); x < qRound(p.right()) + 40 && !red; ++x)
      for (int dy = -8; dy <= 8 && !red; ++dy) {
        const QColor c = image.pixelColor(x, y + dy);
        red = c.red() > 150 && c.green() < 100 && c.blue() < 100;
      }
    QVERIFY(red);
  }

  // The reading: the rule, the one changing line under its heading with
  // our wording and the classical text; none of the texts not selected.
  void pdfCarriesTheTexts_data() {
    QTest::addColumn<int>("fixture");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("codes") << 0
                           << QStringList{"Вопрос о переезде весной",
                                          "Творчество",
                                          "Семья",
                                          "Поступь",
                                          "Девятка третья",
                                          "Меняется одна черта: читайте её текст в основном гуа.",
                                          "1. Цянь «Творчество» — Девятка третья",
                                          "Ёлка, щука и съезд.",
                                          "переезд.kly",
                                          "10.02.2024"} +
                                  LineTexts(1, 3)
                           << QStringList{Judgement(1), LineTexts(1, 2)[0], Judgement(10), "Читать:"};
    QTest::newRow("date")
        << 1
        << QStringList{"Гадание по дате",
                       "Уже конец",
                       "Ещё не конец",
                       "Препятствие",
                       "В начале девятка",
                       "Меняется одна черта: читайте её текст в основном гуа.",
                       "63. Цзи-цзи «Уже конец» — В начале девятка",
                       "Гуа на год 1, месяц 5, день 12, час У",
                       "Лунная дата: год Цзы (Крыса), месяц 5, день 12, час У (11:00–13:00)"} +
               LineTexts(63, 1)
        << QStringList{Judgement(63), LineTexts(39, 1)[0], "Читать:"};
  }
  void pdfCarriesTheTexts() {
    QFETCH(int, fixture);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, absent);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
      QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("лист.pdf"));
    ui::ExportSheetPdf(Restored(fixture == 0 ? CodesRecord() : DateRecord()), Footer, pdf);
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.read(5) == "%PDF-");
    // Only the finished file is left in the folder.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("лист.pdf")});
    const QString text = PdfText(pdf).simplified();
    for (const QString& t : texts) QVERIFY2(text.contains(t), qPrintable(t + " not in: " + text));
    for (const QString& t : absent) QVERIFY2(!text.contains(t), qPrintable(t + " in: " + text));
  }

  // Four texts of the reading on pages of every height from one that
  // breaks before the reading to one that holds it all: a page break falls
  // between two texts, never between a heading and its texts or inside
  // them, nor between the rule and the first text, and every text ends
  // above the footer.
  void readingKeepsHeadingsWithTheirTexts() {
    const core::Divination d = Restored(ThreeLinesRecord());
    QImage image(1240, 1754, QImage::Format_RGB32);
    image.setDotsPerMeterX(5906);
    image.setDotsPerMeterY(5906);
    const double footerHeight = 12 / 25.4 * 150;
    int movedOn = 0;
    for (int height = 560; height <= 1200; height += 6) {
      const QRectF area(100, 90, 1040, height);
      QPainter painter(&image);
      const ui::SheetLayout layout = ui::PaintSheet(painter, area, d, Footer, [] {});
      painter.end();
      QCOMPARE(layout.reading.size(), std::size_t(4));
      QCOMPARE(layout.rulePage, layout.reading.front().headingPage);
      for (const ui::SheetLayout::ReadingBlock& b : layout.reading) {
        QVERIFY2(b.headingPage == b.endPage, qPrintable(QStringLiteral("height %1").arg(height)));
        QVERIFY(b.rect.top() >= area.top());
        QVERIFY(b.rect.bottom() <= area.bottom() - footerHeight + 0.5);
        QVERIFY(b.rect.height() > 0);
      }
      if (layout.reading.back().headingPage > layout.reading.front().headingPage) ++movedOn;
    }
    // Some of the heights broke the page within the reading.
    QVERIFY(movedOn > 0);
  }

  void longCommentsRunOnToMorePages() {
    records::Record r = CodesRecord();
    QStringList lines;
    for (int i = 1; i <= 150; ++i)
      lines << QStringLiteral("Строка комментария номер %1, достаточно длинная, чтобы занять место.").arg(i);
    r.comments = lines.join(QLatin1Char('\n'));
    const core::Divination d = Restored(r);
    QImage image(1240, 1754, QImage::Format_RGB32);
    image.setDotsPerMeterX(5906);
    image.setDotsPerMeterY(5906);
    QPainter painter(&image);
    int newPages = 0;
    const ui::SheetLayout layout =
        ui::PaintSheet(painter, QRectF(100, 90, 1040, 1570), d, Footer, [&] { ++newPages; });
    QVERIFY(layout.pages >= 2);
    QCOMPARE(newPages, layout.pages - 1);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) return;
    QTemporaryDir dir;
    ui::ExportSheetPdf(d, Footer, dir.filePath(QStringLiteral("long.pdf")));
    const QString text = PdfText(dir.filePath(QStringLiteral("long.pdf")));
    QVERIFY(text.contains(QStringLiteral("номер 150,")));
    QVERIFY(text.contains(QStringLiteral("стр. 2")));
  }

  // Comments of any size print on a few pages: a line says how much was
  // left out, and a word longer than the line is broken, not cut off.
  void hugeCommentsAreBounded_data() {
    QTest::addColumn<QString>("comments");
    QTest::addColumn<QString>("left");  // the "left out" line's numbers
    const QString word(1000000, QChar(u'ж'));
    QTest::newRow("one unbroken word of a million")
        << word << QStringLiteral("знаков — %1, строк — 1").arg(1000000 - ui::SheetCommentsLength);
    QStringList empty(100000, QString());
    empty[0] = QStringLiteral("начало");
    QTest::newRow("100000 lines, nearly all empty") << empty.join(u'\n') << QStringLiteral("знаков — 0");
    QStringList shortLines(100000, QStringLiteral("да"));
    QTest::newRow("100000 short lines") << shortLines.join(u'\n') << QStringLiteral("знаков — ");
  }
  void hugeCommentsAreBounded() {
    QFETCH(QString, comments);
    QFETCH(QString, left);
    records::Record r = CodesRecord();
    r.comments = comments;
    const core::Divination d = Restored(r);
    QImage image(1240, 1754, QImage::Format_RGB32);
    image.setDotsPerMeterX(5906);
    image.setDotsPerMeterY(5906);
    QPainter painter(&image);
    const ui::SheetLayout layout = ui::PaintSheet(painter, QRectF(100, 90, 1040, 1570), d, Footer, [] {});
    QVERIFY2(layout.pages <= ui::SheetCommentsPages + 2, qPrintable(QString::number(layout.pages)));
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) return;
    QTemporaryDir dir;
    ui::ExportSheetPdf(d, Footer, dir.filePath(QStringLiteral("huge.pdf")));
    const QString text = PdfText(dir.filePath(QStringLiteral("huge.pdf"))).simplified();
    QVERIFY(text.contains(QStringLiteral("Комментарии напечатаны не полностью: не вошло")));
    QVERIFY2(text.contains(left), qPrintable(text.right(300)));
    // The printed part of the long word fills whole lines of the page.
    if (comments.startsWith(u'ж')) QVERIFY(text.count(u'ж') > 10000);
  }

  void emptySheetIsRefused() {
    records::Record r;  // no codes, not cast from the date
    r.lineCodes = {"", "", "", "", "", ""};
    const core::Divination d = Restored(r);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("пусто.pdf"));
    try {
      ui::ExportSheetPdf(d, Footer, pdf);
      QFAIL("an empty sheet was exported");
    } catch (const std::runtime_error& e) {
      QCOMPARE(QString::fromUtf8(e.what()), QString::fromUtf8(ui::EmptySheetText));
    }
    QVERIFY(!QFile::exists(pdf));
    QImage image(200, 200, QImage::Format_RGB32);
    QPainter painter(&image);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             ui::PaintSheet(painter, QRectF(0, 0, 200, 200), d, Footer, {}));
  }

  void unwritablePathLeavesNoFile() {
    QTemporaryDir dir;
    const core::Divination d = Restored(CodesRecord());
    QStringList paths{dir.filePath(QStringLiteral("нет такой папки/лист.pdf"))};
    if (geteuid() != 0) {  // root writes anywhere
      QDir(dir.path()).mkdir(QStringLiteral("закрыта"));
      QFile::setPermissions(dir.filePath(QStringLiteral("закрыта")), QFile::ReadOwner | QFile::ExeOwner);
      paths << dir.filePath(QStringLiteral("закрыта/лист.pdf"));
    }
    for (const QString& path : paths) {
      try {
        ui::ExportSheetPdf(d, Footer, path);
        QFAIL(qPrintable("written: " + path));
      } catch (const std::runtime_error& e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Cannot create file ") + path);
      }
      QVERIFY(!QFile::exists(path));
      QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files), QStringList());
    }
  }

  // A date casting over the codes of an earlier casting, with the clock
  // corrected: the sheet prints no codes column (the fields still hold the
  // old codes, red where they change) and names the double hour by the same
  // clock hours as the "Час" list.
  void dateCastingSheetInTheWindow_data() {
    QTest::addColumn<int>("correction");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hour");
    QTest::newRow("0") << 3 << QStringLiteral("Мао | 5-7") << QStringLiteral("час Мао (05:00–07:00)");
    QTest::newRow("+1") << 4 << QStringLiteral("Мао | 6-8") << QStringLiteral("час Мао (06:00–08:00)");
    QTest::newRow("-3") << 0 << QStringLiteral("Мао | 2-4") << QStringLiteral("час Мао (02:00–04:00)");
  }
  void dateCastingSheetInTheWindow() {
    QFETCH(int, correction);
    QFETCH(QString, caption);
    QFETCH(QString, hour);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
      QSKIP("pdftotext (poppler-utils) is not installed");
    ui::test::FakePlatform fake;
    ui::ScopedPlatform scoped(&fake);
    TFormKalynth w(QStringList{});
    w.SetTimeSettings(correction, 15);
    QCOMPARE(w.controls().Chas->itemText(3), caption);
    const char* const codes[6] = {"544", "948", "984", "588", "984", "948"};
    QLineEdit* fields[6] = {w.controls().Edit1, w.controls().Edit2, w.controls().Edit3,
                            w.controls().Edit4, w.controls().Edit5, w.controls().Edit6};
    for (int i = 0; i < 6; ++i) fields[i]->setText(QString::fromLatin1(codes[i]));
    w.Button1Click();
    w.controls().GodCombo->setCurrentIndex(4);
    w.controls().Mes->setCurrentIndex(2);
    w.controls().Day->setCurrentIndex(14);
    w.controls().Chas->setCurrentIndex(3);
    w.ToolButton2Click();  // year 5, month 3, day 15, Мао: s = 23, t = 27, line 3 (yang) changes
    QCOMPARE(w.Model().ChangingLines(), std::vector<int>{3});
    QCOMPARE(w.controls().Edit1->text(), QStringLiteral("544"));

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("по дате.pdf"));
    fake.saveNames.push_back(pdf);
    w.controls().PdfExport1->trigger();
    QVERIFY2(fake.prompts.isEmpty(), qPrintable(fake.prompts.value(0).text));
    const QString text = PdfText(pdf).simplified();
    QVERIFY2(text.contains(hour), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Меняющиеся черты: Девятка третья.")), qPrintable(text));
    for (const QString& stale : {QStringLiteral("Числа черт"), QStringLiteral("меняется"),
                                 QStringLiteral("544"), QStringLiteral("948")})
      QVERIFY2(!text.contains(stale), qPrintable(stale + " in: " + text));
  }

  // The window: "Печать..." (Ctrl+P) and "Экспорт в PDF..." in "Файл"; the
  // export writes the file and leaves the record unchanged; an empty sheet
  // ends with the refusal in an error box.
  void mainWindowMenuAndExport() {
    ui::test::FakePlatform fake;
    ui::ScopedPlatform scoped(&fake);
    QTemporaryDir dir;
    const QString record = dir.filePath(QStringLiteral("переезд.kly"));
    records::WriteRecordFile(record, CodesRecord());
    const QByteArray before = [&] {
      QFile f(record);
      f.open(QIODevice::ReadOnly);
      return f.readAll();
    }();
    TFormKalynth w({record});
    QCOMPARE(w.controls().Print1->text().remove(QLatin1Char('&')), QStringLiteral("Печать..."));
    QCOMPARE(w.controls().Print1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    QCOMPARE(w.controls().PdfExport1->text().remove(QLatin1Char('&')), QStringLiteral("Экспорт в PDF..."));
    QVERIFY(w.controls().FileMenu->actions().contains(w.controls().Print1));
    QVERIFY(w.controls().FileMenu->actions().contains(w.controls().PdfExport1));
    QVERIFY(!w.Model().modified());

    const QString pdf = dir.filePath(QStringLiteral("переезд.pdf"));
    fake.saveNames.push_back(pdf);
    w.controls().PdfExport1->trigger();
    QVERIFY2(fake.prompts.isEmpty(), qPrintable(fake.prompts.value(0).text));
    QCOMPARE(fake.saveRequests.size(), 1);
    QCOMPARE(fake.saveRequests[0].fileName, QStringLiteral("переезд.pdf"));
    QCOMPARE(fake.saveRequests[0].defaultSuffix, QStringLiteral("pdf"));
    QVERIFY(QFile::exists(pdf));
    QVERIFY(!w.Model().modified());
    QFile f(record);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);

    // Printing paints the same sheet into the preview and changes nothing.
    QPrintPreviewDialog* shown = nullptr;
    int previewPages = -1;
    QTimer::singleShot(0, [&] {
      for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* preview = qobject_cast<QPrintPreviewDialog*>(top)) shown = preview;
      if (!shown) return;
      if (auto* pages = shown->findChild<QPrintPreviewWidget*>()) previewPages = pages->pageCount();
      shown->reject();
    });
    w.controls().Print1->trigger();
    QVERIFY(shown);
    QCOMPARE(previewPages, 1);
    QVERIFY2(fake.prompts.isEmpty(), qPrintable(fake.prompts.value(0).text));
    QVERIFY(!w.Model().modified());
    QVERIFY(f.seek(0));
    QCOMPARE(f.readAll(), before);

    // A new sheet holds no hexagram: both items are disabled and say why
    // (no error box to dismiss); the handlers themselves still refuse
    // before any dialog.
    for (QAction* item : {w.controls().PdfExport1, w.controls().Print1}) {
      QVERIFY(item->isEnabled());
      QVERIFY(!item->toolTip().startsWith(QStringLiteral("Печатать нечего")));
    }
    w.ClearBtnClick();
    QVERIFY(!w.Model().modified());
    for (QAction* item : {w.controls().PdfExport1, w.controls().Print1}) {
      fake.prompts.clear();
      QVERIFY(!item->isEnabled());
      QCOMPARE(item->toolTip(), QStringLiteral("Печатать нечего: сначала получите гуа."));
      item->trigger();
      QVERIFY(fake.prompts.isEmpty());
      QString refusal;
      try {
        item == w.controls().Print1 ? w.Print1Click() : w.PdfExport1Click();
      } catch (const std::runtime_error& e) {
        refusal = QString::fromUtf8(e.what());
      }
      QCOMPARE(refusal, QString::fromUtf8(ui::EmptySheetText));
    }
    QCOMPARE(fake.saveRequests.size(), 1);
    // And the Export dialog says what it is for.
    QCOMPARE(fake.saveRequests[0].caption, QStringLiteral("Экспорт в PDF"));
  }
};

QTEST_MAIN(TestSheet)
#include "tst_sheet.moc"
