// The journal: its rows over a fixture tree made here, the search and each
// filter, the open path through the main window with its prompts, the
// folder watcher, the command line's rows against the window's, and that
// nothing in the folder is ever written.
//
// Expected values are worked by hand from the published King Wen order
// (trigrams in the comments) and from the files as this test writes them;
// hexagram names are those the commentary pages give (comment/N.htm,
// e.g. "29. 坎 Кань — Бездна").
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <QAction>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QDateEdit>
#include <QDialog>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QThreadPool>
#include <map>
#include <memory>
#include <sstream>

#include "TestSupport.h"
#include "cli/calc.h"
#include "core/datecast.h"
#include "records/cp1251.h"
#include "records/journal.h"
#include "records/journal_export.h"
#include "records/record.h"
#include "settings/SettingsStore.h"
#include "ui/journal.h"
#include "ui/kalynth.h"

using records::JournalCell;
using records::JournalRow;

namespace {

QDateTime At(int y, int m, int d, int h, int mi) {
  return QDateTime(QDate(y, m, d), QTime(h, mi));
}

// Without opening the file, so a pipe takes a time as well.
void SetTime(const QString& path, const QDateTime& t) {
  const timeval times[2] = {{static_cast<time_t>(t.toSecsSinceEpoch()), 0},
                            {static_cast<time_t>(t.toSecsSinceEpoch()), 0}};
  QCOMPARE(::utimes(QFile::encodeName(path).constData(), times), 0);
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

records::Record CodesRecord(const QStringList& codes, const QString& note, const QStringList& comments = {}) {
  records::Record r;
  for (int i = 0; i < 6; ++i) r.lineCodes[i] = codes.value(i);
  r.note = note;
  r.comments = comments.join(QLatin1Char('\n'));
  return r;
}

void WriteRecord(const QString& path, const records::Record& r, const QDateTime& t) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  records::WriteRecordFile(path, r);
  SetTime(path, t);
}

// The fixture tree:
//   дата.kly                    cast from the date, changing line 5 (earlier codes kept)
//   черновик.kly                line codes not all valid: no figure, but
//                               line 1 ("544") is a changing line
//   заметки.kly                 text, not a record
//   потерянная.kly              a link to a file that is not there
//   канал.kly                   a pipe
//   readme.txt                  not a candidate at all
//   2024/ёлка.kly               hand-written Windows-1251 bytes, "Ё" in the note
//   2024/битая.kly              a record whose "yah" is not an integer
//   2024/весна/переезд.kly      line codes, changing line 2
//   глубоко/ещё/глубже/ВЕРХНИЙ.KLY   upper-case extension, changing line 6
void MakeFixture(const QString& root) {
  // Water over mountain (lower 0,0,1 Gen, upper 0,1,0 Kan) is 39; line 5
  // changing turns the upper trigram into Kun: earth over mountain, 15.
  // The date 5/3/14/Цзы gives these trigrams (upper (5+3+14) mod 8 = 6 Kan,
  // lower 23 mod 8 = 7 Gen, line 23 mod 6 = 5).
  records::Record date;
  date.note = QStringLiteral("Вопрос о работе");
  // Codes left in the fields by an earlier casting (line 1 would change):
  // not the date casting's, which changes line 5 only.
  date.lineCodes = {"544", "948", "984", "588", "984", "948"};
  date.btn2 = true;
  date.yah = 4, date.mon = 2, date.day = 13, date.hour = 0;
  date.gua = {false, false, true, false, true, false};
  date.jaoNo = 5;
  date.comments = QStringLiteral("Сменить работу весной?\nЖдать.");
  WriteRecord(root + "/дата.kly", date, At(2024, 5, 1, 9, 15));

  WriteRecord(root + "/черновик.kly", CodesRecord({"544", "5"}, QStringLiteral("Недописанная")),
              At(2023, 3, 2, 8, 0));
  WriteBytes(root + "/заметки.kly", "just some text\r\n");
  SetTime(root + "/заметки.kly", At(2022, 1, 1, 12, 0));
  QVERIFY(QFile::link(root + "/нет-такого.kly", root + "/потерянная.kly"));
  QCOMPARE(::mkfifo(QFile::encodeName(root + "/канал.kly").constData(), 0600), 0);
  SetTime(root + "/канал.kly", At(2021, 6, 1, 12, 0));
  WriteBytes(root + "/readme.txt", "not a record\r\n");

  // Hand-written bytes in Windows-1251: "Ёлка у бабушки", comments "Всё
  // будет хорошо" / "ещё строка". Six stable yang lines: number 1.
  const QByteArray yolka =
      "[TITLE]\r\nTitle=KALYNTH\r\n[BEGINNER]\r\nEdit1=588\r\nEdit2=948\r\nEdit3=984\r\nEdit4=588\r\n"
      "Edit5=588\r\nEdit6=588\r\nEdit7=\xA8\xEB\xEA\xE0 \xF3 "
      "\xE1\xE0\xE1\xF3\xF8\xEA\xE8\r\nyah=0\r\nmon=0\r\nday=0\r\n"
      "hour=0\r\nBtn2=0\r\n[%%%&*(0876&%9]\r\n\xC2\xF1\xB8 \xE1\xF3\xE4\xE5\xF2 \xF5\xEE\xF0\xEE\xF8\xEE\r\n"
      "\xE5\xF9\xB8 \xF1\xF2\xF0\xEE\xEA\xE0\r\n";
  WriteBytes(root + "/2024/ёлка.kly", yolka);
  SetTime(root + "/2024/ёлка.kly", At(2023, 12, 31, 18, 30));
  WriteBytes(root + "/2024/битая.kly", "[TITLE]\r\nTitle=KALYNTH\r\n[BEGINNER]\r\nEdit7=x\r\nyah=abc\r\n");
  SetTime(root + "/2024/битая.kly", At(2024, 2, 2, 2, 2));

  // Kan over Kan (0,1,0 / 0,1,0) is 29; line 2 changing makes the lower
  // trigram Kun: water over earth, 8. Nuclear: lines 2-4 (1,0,0 Zhen)
  // under lines 3-5 (0,0,1 Gen): mountain over thunder, 27.
  WriteRecord(root + "/2024/весна/переезд.kly",
              CodesRecord({"548", "544", "584", "944", "588", "548"}, QStringLiteral("Переезд в новый дом"),
                          {QStringLiteral("Спросил про квартиру на Лесной.")}),
              At(2024, 4, 15, 10, 0));
  // Heaven below, lake (1,1,0) above: 43; line 6 changing gives 1, and the
  // nuclear figure of 43 is 1 as well.
  WriteRecord(root + "/глубоко/ещё/глубже/ВЕРХНИЙ.KLY",
              CodesRecord({"588", "948", "984", "588", "588", "988"}, QStringLiteral("Глубоко")),
              At(2024, 6, 30, 23, 59));
}

struct Expected {
  const char* file;
  const char* folder;
  const char* saved;
  const char* note;
  const char* primary;
  const char* changed;
  const char* lines;
  const char* lunar;
  const char* problem;
};

const Expected kRows[] = {
    {"дата.kly", "", "2024-05-01 09:15", "Вопрос о работе", "39 Препятствие", "15 Смирение", "5",
     "Гуа на год 5, месяц 3, день 14, час Цзы", ""},
    {"черновик.kly", "", "2023-03-02 08:00", "Недописанная", "", "", "1", "", ""},
    {"заметки.kly", "", "2022-01-01 12:00", "", "", "", "", "", "Этот файл не является файлом KALYNTH"},
    {"потерянная.kly", "", "", "", "", "", "", "", "Ссылка ведёт на файл, которого нет"},
    {"канал.kly", "", "2021-06-01 12:00", "", "", "", "", "",
     "Не обычный файл (папка, канал или устройство)"},
    {"ёлка.kly", "2024", "2023-12-31 18:30", "Ёлка у бабушки", "1 Творчество", "", "", "", ""},
    {"битая.kly", "2024", "2024-02-02 02:02", "", "", "", "", "", "'abc' is not a valid integer value"},
    {"переезд.kly", "2024/весна", "2024-04-15 10:00", "Переезд в новый дом", "29 Бездна", "8 Единение", "2",
     "", ""},
    {"ВЕРХНИЙ.KLY", "глубоко/ещё/глубже", "2024-06-30 23:59", "Глубоко", "43 Прорыв", "1 Творчество", "6", "",
     ""},
};

// Files, sizes, times and contents of a tree (links and pipes by their own kind).
QStringList TreeState(const QString& root) {
  QStringList state;
  QDirIterator it(root, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QFileInfo info(path);
    QString line = path + QLatin1Char('|') + QString::number(info.isSymLink()) + QLatin1Char('|');
    if (info.isFile() && !info.isSymLink()) {
      QFile f(path);
      f.open(QIODevice::ReadOnly);
      line += QString::number(info.size()) + QLatin1Char('|') +
              info.lastModified().toString(Qt::ISODateWithMs) + QLatin1Char('|') +
              QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1).toHex());
    }
    state.append(line);
  }
  state.sort();
  return state;
}

// The rows the window lists now, as cell texts, keyed by folder/file.
std::map<QString, QStringList> WindowRows(TFormJournal& journal) {
  std::map<QString, QStringList> rows;
  QAbstractItemModel* view = journal.Table->model();
  for (int r = 0; r < view->rowCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < records::JournalColumnCount; ++c) cells.append(view->index(r, c).data().toString());
    rows[cells[records::ColFolder] + QLatin1Char('/') + cells[records::ColFile]] = cells;
  }
  return rows;
}

QStringList WindowFiles(TFormJournal& journal) {
  QStringList files;
  for (const auto& [key, cells] : WindowRows(journal)) files.append(cells[records::ColFile]);
  files.sort();
  return files;
}

QStringList Sorted(QStringList l) {
  l.sort();
  return l;
}

struct CliResult {
  int status = -1;
  QStringList header;
  std::map<QString, QStringList> rows;
  std::string err;
};

CliResult RunJournalCli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  CliResult result;
  result.status = cli::RunCalc(args, out, err, cli::SystemEnvironment());
  result.err = err.str();
  const QStringList lines = QString::fromStdString(out.str()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  if (lines.isEmpty()) return result;
  result.header = lines.first().split(QLatin1Char('\t'));
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QStringList cells = lines[i].split(QLatin1Char('\t'));
    result.rows[cells.value(records::ColFolder) + QLatin1Char('/') + cells.value(records::ColFile)] = cells;
  }
  return result;
}

// Until the scans have been merged into the table.
#define WAIT_IDLE(journal) QTRY_VERIFY_WITH_TIMEOUT(!(journal).isBusy(), 10000)

}  // namespace

class TestJournal : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString root_;
  QStringList before_;

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    root_ = dir_.path() + QStringLiteral("/записи");
    QDir().mkpath(root_);
    MakeFixture(root_);
    before_ = TreeState(root_);
  }

  void cleanupTestCase() {
    // Neither the window nor the command line wrote anything in the folder.
    QCOMPARE(TreeState(root_), before_);
  }

  void rowsOfTheFixture() {
    TFormJournal journal([](const QString&) {});
    journal.show();
    journal.SetFolder(root_);
    WAIT_IDLE(journal);
    const auto rows = WindowRows(journal);
    QCOMPARE(int(rows.size()), int(std::size(kRows)));
    for (const Expected& e : kRows) {
      const QString key = QString::fromUtf8(e.folder) + QLatin1Char('/') + QString::fromUtf8(e.file);
      QVERIFY2(rows.count(key), qPrintable(key));
      const QStringList& cells = rows.at(key);
      QCOMPARE(cells[records::ColSaved], QString::fromUtf8(e.saved));
      // A file that is not a record shows the reason in place of the note.
      QCOMPARE(cells[records::ColNote], QString::fromUtf8(*e.problem ? e.problem : e.note));
      QCOMPARE(cells[records::ColPrimary], QString::fromUtf8(e.primary));
      QCOMPARE(cells[records::ColChanged], QString::fromUtf8(e.changed));
      QCOMPARE(cells[records::ColLines], QString::fromUtf8(e.lines));
      QCOMPARE(cells[records::ColLunarDate], QString::fromUtf8(e.lunar));
      QCOMPARE(cells[records::ColProblem], QString::fromUtf8(e.problem));
    }
    QCOMPARE(rows.at(QStringLiteral("2024/ёлка.kly"))[records::ColComments],
             QStringLiteral("Всё будет хорошо ещё строка"));
    QCOMPARE(journal.CountLabel->text(), QStringLiteral("Файлов: 9"));
    // Newest first.
    QCOMPARE(journal.Table->model()->index(0, records::ColFile).data().toString(),
             QStringLiteral("ВЕРХНИЙ.KLY"));
  }

  void rowsNuclearNumber() {
    // The nuclear figure is not a column but counts for the hexagram filter.
    const JournalRow move = records::ReadJournalRow(root_ + "/2024/весна/переезд.kly", root_);
    QCOMPARE(move.nuclear, 27);
    const JournalRow date = records::ReadJournalRow(root_ + "/дата.kly", root_);
    // Lines 2-4 of 39 (0,1,0 Kan) under lines 3-5 (1,0,1 Li): fire over water, 64.
    QCOMPARE(date.nuclear, 64);
    // A record cast from line codes without a changing line shows only its primary figure.
    const JournalRow yolka = records::ReadJournalRow(root_ + "/2024/ёлка.kly", root_);
    QCOMPARE(yolka.nuclear, 0);
    QCOMPARE(yolka.changed, 0);
  }

  void filters_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("hexagram");
    QTest::addColumn<bool>("changing");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("files");
    const QString none;
    QTest::newRow("nothing") << none << 0 << false << none << none
                             << QStringList{"ВЕРХНИЙ.KLY",    "битая.kly",    "дата.kly",
                                            "заметки.kly",    "канал.kly",    "переезд.kly",
                                            "потерянная.kly", "черновик.kly", "ёлка.kly"};
    QTest::newRow("е finds ё") << "елка" << 0 << false << none << none << QStringList{"ёлка.kly"};
    QTest::newRow("Ё upper case") << "ЁЛКА" << 0 << false << none << none << QStringList{"ёлка.kly"};
    QTest::newRow("ё in the comments")
        << "все будет" << 0 << false << none << none << QStringList{"ёлка.kly"};
    QTest::newRow("two words, any order")
        << "дом переезд" << 0 << false << none << none << QStringList{"переезд.kly"};
    QTest::newRow("word in the comments")
        << "лесной" << 0 << false << none << none << QStringList{"переезд.kly"};
    QTest::newRow("file name") << "ЧЕРНОВИК" << 0 << false << none << none << QStringList{"черновик.kly"};
    QTest::newRow("no such word") << "гроза" << 0 << false << none << none << QStringList{};
    QTest::newRow("primary 29") << none << 29 << false << none << none << QStringList{"переезд.kly"};
    QTest::newRow("nuclear 27") << none << 27 << false << none << none << QStringList{"переезд.kly"};
    QTest::newRow("changed 15") << none << 15 << false << none << none << QStringList{"дата.kly"};
    QTest::newRow("nuclear 64") << none << 64 << false << none << none << QStringList{"дата.kly"};
    QTest::newRow("1 as primary, changed and nuclear")
        << none << 1 << false << none << none << QStringList{"ВЕРХНИЙ.KLY", "ёлка.kly"};
    QTest::newRow("changing lines") << none << 0 << true << none << none
                                    << QStringList{"ВЕРХНИЙ.KLY", "дата.kly", "переезд.kly", "черновик.kly"};
    QTest::newRow("from 2024-04-15") << none << 0 << false << "2024-04-15" << none
                                     << QStringList{"ВЕРХНИЙ.KLY", "дата.kly", "переезд.kly"};
    QTest::newRow("to 2023-12-31") << none << 0 << false << none << "2023-12-31"
                                   << QStringList{"заметки.kly", "канал.kly", "черновик.kly", "ёлка.kly"};
    QTest::newRow("one day") << none << 0 << false << "2024-05-01"
                             << "2024-05-01" << QStringList{"дата.kly"};
    QTest::newRow("all together") << "работ" << 39 << true << "2024-01-01"
                                  << "2024-12-31" << QStringList{"дата.kly"};
  }

  // The same filter in the window and on the command line.
  void filters() {
    QFETCH(QString, text);
    QFETCH(int, hexagram);
    QFETCH(bool, changing);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, files);

    TFormJournal journal([](const QString&) {});
    journal.show();
    journal.SetFolder(root_);
    WAIT_IDLE(journal);
    journal.SearchEdit->setText(text);
    journal.HexagramBox->setValue(hexagram);
    journal.ChangingBox->setChecked(changing);
    if (!from.isEmpty()) {
      journal.FromCheck->setChecked(true);
      journal.FromDate->setDate(QDate::fromString(from, Qt::ISODate));
    }
    if (!to.isEmpty()) {
      journal.ToCheck->setChecked(true);
      journal.ToDate->setDate(QDate::fromString(to, Qt::ISODate));
    }
    QCOMPARE(WindowFiles(journal), Sorted(files));

    std::vector<std::string> args{"journal", root_.toStdString()};
    if (!text.isEmpty()) args.insert(args.end(), {"--text", text.toStdString()});
    if (hexagram) args.insert(args.end(), {"--hexagram", std::to_string(hexagram)});
    if (changing) args.push_back("--changing");
    if (!from.isEmpty()) args.insert(args.end(), {"--from", from.toStdString()});
    if (!to.isEmpty()) args.insert(args.end(), {"--to", to.toStdString()});
    const CliResult cli = RunJournalCli(args);
    QCOMPARE(cli.status, 0);
    // Every cell of every row equals the window's.
    const auto window = WindowRows(journal);
    QCOMPARE(int(cli.rows.size()), int(window.size()));
    for (const auto& [key, cells] : window) {
      QVERIFY2(cli.rows.count(key), qPrintable(key));
      QStringList printed = cli.rows.at(key);
      // The window shows the reason a file is not a record in the note's place.
      if (!printed[records::ColProblem].isEmpty()) printed[records::ColNote] = printed[records::ColProblem];
      QCOMPARE(printed, cells);
    }
  }

  void cliHeaderAndErrors() {
    const CliResult ok = RunJournalCli({"journal", root_.toStdString()});
    QCOMPARE(ok.header, (QStringList{"saved", "cast", "file", "folder", "note", "primary", "changed",
                                     "changing_lines", "lunar_date", "comments", "problem"}));
    QCOMPARE(RunJournalCli({"journal"}).status, 2);
    QCOMPARE(RunJournalCli({"journal", (root_ + "/нет").toStdString()}).status, 2);
    QCOMPARE(RunJournalCli({"journal", root_.toStdString(), "--hexagram", "65"}).status, 2);
    QCOMPARE(RunJournalCli({"journal", root_.toStdString(), "--from", "2024-13-01"}).status, 2);
    QCOMPARE(
        RunJournalCli({"journal", root_.toStdString(), "--from", "2024-02-01", "--to", "2024-01-01"}).status,
        2);
  }

  void sorting() {
    TFormJournal journal([](const QString&) {});
    journal.show();
    journal.SetFolder(root_);
    WAIT_IDLE(journal);
    journal.HexagramBox->setValue(0);
    journal.Table->sortByColumn(records::ColPrimary, Qt::AscendingOrder);
    // Records with a figure: 1, 29, 39, 43 by number (not by text: "1" < "29" < "39" < "43" either way,
    // so check a numeric order that text would break).
    QStringList primaries;
    for (int r = 0; r < journal.Table->model()->rowCount(); ++r) {
      const QString cell = journal.Table->model()->index(r, records::ColPrimary).data().toString();
      if (!cell.isEmpty()) primaries.append(cell.section(u' ', 0, 0));
    }
    QCOMPARE(primaries, (QStringList{"1", "29", "39", "43"}));
    journal.Table->sortByColumn(records::ColChanged, Qt::DescendingOrder);
    QStringList changed;
    for (int r = 0; r < journal.Table->model()->rowCount(); ++r) {
      const QString cell = journal.Table->model()->index(r, records::ColChanged).data().toString();
      if (!cell.isEmpty()) changed.append(cell.section(u' ', 0, 0));
    }
    QCOMPARE(changed, (QStringList{"15", "8", "1"}));  // numeric: "8" after "15"
    journal.Table->sortByColumn(records::ColSaved, Qt::AscendingOrder);
    QCOMPARE(journal.Table->model()
                 ->index(journal.Table->model()->rowCount() - 1, records::ColFile)
                 .data()
                 .toString(),
             QStringLiteral("ВЕРХНИЙ.KLY"));
  }

  // Records that keep the moment of their cast sort and filter by it (the
  // file's time, marked, for the others) and count in the season table.
  void castMomentSortsFiltersAndCountsBySeason() {
    QTemporaryDir dir;
    auto write = [&dir](const char* name, const char* moment, const char* term) {
      records::Record r;
      r.lineCodes = {"588", "588", "588", "588", "588", "588"};
      r.context = core::CastContext{};
      r.context->moment = moment;
      r.context->term = term;
      QFile f(dir.filePath(QString::fromLatin1(name)));
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(records::EncodeRecord(r));
    };
    write("old.kly", "2001-03-21T10:00:00+03:00", "Весеннее равноденствие");
    write("new.kly", "2025-06-21T10:00:00+03:00", "Летнее солнцестояние");
    QFile plain(dir.filePath(QStringLiteral("plain.kly")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.write(records::EncodeRecord(records::Record{}));
    plain.close();

    TFormJournal journal([](const QString&) {});
    journal.show();
    journal.SetFolder(dir.path());
    WAIT_IDLE(journal);
    QAbstractItemModel* m = journal.Table->model();
    QCOMPARE(m->rowCount(), 3);
    // Newest cast first: the file written now, then 2025, then 2001.
    QStringList casts;
    for (int r = 0; r < m->rowCount(); ++r) casts << m->index(r, records::ColCast).data().toString();
    QVERIFY2(casts[0].endsWith(QStringLiteral(" (файл)")), qPrintable(casts.join(u'|')));
    QCOMPARE(casts.mid(1), (QStringList{"2025-06-21 10:00", "2001-03-21 10:00"}));
    QVERIFY(m->index(1, records::ColCast)
                .data(Qt::ToolTipRole)
                .toString()
                .startsWith(QStringLiteral("Гадание 21.06.2025")));
    // The dates filter by the moment of the cast.
    journal.ToCheck->setChecked(true);
    journal.ToDate->setDate(QDate(2010, 1, 1));
    QCOMPARE(m->rowCount(), 1);
    QCOMPARE(m->index(0, records::ColFile).data().toString(), QStringLiteral("old.kly"));
    journal.ToCheck->setChecked(false);
    QCOMPARE(m->rowCount(), 3);

    journal.SeasonsButton->click();
    QVERIFY(journal.SeasonsDialog && journal.SeasonsDialog->isVisible());
    QTableWidget* seasons = journal.SeasonsTable;
    QCOMPARE(seasons->rowCount(), 24);
    int counted = 0;
    for (int r = 0; r < 24; ++r)
      if (!seasons->item(r, 1)->text().isEmpty()) {
        ++counted;
        QCOMPARE(seasons->item(r, 1)->text(), QStringLiteral("1"));
        QVERIFY(seasons->item(r, 2)->text().startsWith(QStringLiteral("1 ")));
      }
    QCOMPARE(counted, 2);
    QCOMPARE(seasons->item(0, 0)->text(), QStringLiteral("Весеннее равноденствие"));
    QCOMPARE(journal.SeasonsNote->text(),
             QStringLiteral("Записей с известным сезоном-цзе гадания: 2 из 3 показанных."));
  }

  // "Экспорт...": the listed rows, all or nothing, CSV or JSON by the name
  // chosen; never over a record; a failure is shown and leaves no file.
  void exportWritesTheListedRows() {
    ui::test::FakePlatform fake;
    ui::ScopedPlatform scoped(&fake);
    TFormJournal journal([](const QString&) {});
    journal.show();
    journal.SetFolder(root_);
    WAIT_IDLE(journal);
    journal.HexagramBox->setValue(1);
    const QList<records::JournalRow> listed = journal.ListedRows();
    QVERIFY(!listed.isEmpty());
    QTemporaryDir out;
    const QString csv = out.filePath(QStringLiteral("j.csv")), json = out.filePath(QStringLiteral("j.JSON"));
    fake.saveNames = {csv, json, out.filePath(QStringLiteral("record.KLY")),
                      QStringLiteral("/proc/no-such-folder/j.csv"), QString()};
    for (int i = 0; i < 5; ++i) journal.ExportButton->click();
    QFile a(csv), b(json);
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    QCOMPARE(a.readAll(), records::JournalCsv(listed));
    QCOMPARE(b.readAll(), records::JournalJson(listed));
    QVERIFY(!QFile::exists(out.filePath(QStringLiteral("record.KLY"))));
    QCOMPARE(fake.prompts.size(), 2);
    QVERIFY(fake.prompts[0].text.contains(QStringLiteral("файл записи")));
    QVERIFY(fake.prompts[1].text.startsWith(QStringLiteral("Cannot create file /proc/no-such-folder/j.csv")));
    QCOMPARE(
        journal.ExportLabel->text(),
        QStringLiteral("Записано строк: %1 в %2").arg(listed.size()).arg(QDir::toNativeSeparators(json)));
  }

  void watcherSeesNewRenamedAndRemovedFiles() {
    QTemporaryDir live;
    QDir().mkpath(live.path() + "/sub");
    WriteRecord(live.path() + "/первая.kly", CodesRecord({}, QStringLiteral("Первая")), At(2024, 1, 1, 0, 0));
    TFormJournal journal([](const QString&) {});
    journal.show();
    journal.SetFolder(live.path());
    WAIT_IDLE(journal);
    QCOMPARE(WindowFiles(journal), QStringList{"первая.kly"});

    records::WriteRecordFile(live.path() + "/sub/новая.kly", CodesRecord({}, QStringLiteral("Новая")));
    QTRY_COMPARE_WITH_TIMEOUT(WindowFiles(journal), (QStringList{"новая.kly", "первая.kly"}), 5000);

    // Saved again with another note: the row follows.
    records::WriteRecordFile(live.path() + "/первая.kly",
                             CodesRecord({}, QStringLiteral("Первая, исправленная")));
    QTRY_COMPARE_WITH_TIMEOUT(WindowRows(journal)["/первая.kly"][records::ColNote],
                              QStringLiteral("Первая, исправленная"), 5000);

    QVERIFY(QFile::rename(live.path() + "/sub/новая.kly", live.path() + "/sub/другая.kly"));
    QTRY_COMPARE_WITH_TIMEOUT(WindowFiles(journal), (QStringList{"другая.kly", "первая.kly"}), 5000);

    QVERIFY(QFile::remove(live.path() + "/первая.kly"));
    QTRY_COMPARE_WITH_TIMEOUT(WindowFiles(journal), QStringList{"другая.kly"}, 5000);

    // A new folder with a record in it.
    WriteRecord(live.path() + "/sub/глубже/третья.kly", CodesRecord({}, QStringLiteral("Третья")),
                At(2024, 1, 2, 0, 0));
    QTRY_COMPARE_WITH_TIMEOUT(WindowFiles(journal), (QStringList{"другая.kly", "третья.kly"}), 5000);
    // And the whole folder removed.
    QVERIFY(QDir(live.path() + "/sub").removeRecursively());
    QTRY_COMPARE_WITH_TIMEOUT(WindowFiles(journal), QStringList{}, 5000);

    // Closed, the journal watches nothing; shown again, it catches up.
    journal.hide();
    WriteRecord(live.path() + "/пока закрыт.kly", CodesRecord({}, QStringLiteral("Пока закрыт")),
                At(2024, 1, 3, 0, 0));
    journal.show();
    QTRY_COMPARE_WITH_TIMEOUT(WindowFiles(journal), QStringList{"пока закрыт.kly"}, 5000);
  }

  // Stopping keeps the rows read so far and says how far the scan came.
  void stopKeepsWhatWasRead() {
    TFormJournal journal([](const QString&) {});
    journal.show();
    journal.SetFolder(root_);
    QVERIFY(journal.CancelButton->isVisibleTo(&journal));
    journal.CancelButtonClick();  // before the job could read all nine files
    WAIT_IDLE(journal);
    QVERIFY(!journal.CancelButton->isVisibleTo(&journal));
    const QString text = journal.ProgressLabel->text();
    if (text.isEmpty()) {
      QCOMPARE(journal.model()->rowCount(), 9);  // it finished before the stop arrived
    } else {
      const QRegularExpression stopped(QStringLiteral("^Остановлено: прочитано (\\d+) из (\\d+)$"));
      const QRegularExpressionMatch m = stopped.match(text);
      QVERIFY2(m.hasMatch(), qPrintable(text));
      QCOMPARE(journal.model()->rowCount(), m.captured(1).toInt());
    }
  }

  // The scan runs on the journal's own threads, never on the application's
  // pool, which Qt waits for without a bound when the program ends: a scan
  // stuck in a file system that does not answer cannot keep the program
  // from ending. Closing the journal during a scan stops it and waits only
  // briefly.
  void closingDuringAScanWaitsOnlyBriefly() {
    QTemporaryDir many;
    QVERIFY(many.isValid());
    records::Record r;
    r.lineCodes = {"588", "588", "544", "588", "588", "588"};
    for (int i = 0; i < 3000; ++i)
      records::WriteRecordFile(many.filePath(QStringLiteral("%1.kly").arg(i)), r);
    auto journal = std::make_unique<TFormJournal>([](const QString&) {});
    journal->show();
    journal->SetFolder(many.path());
    QVERIFY(journal->isBusy());
    QCOMPARE(QThreadPool::globalInstance()->activeThreadCount(), 0);
    QElapsedTimer closing;
    closing.start();
    journal.reset();
    QVERIFY2(closing.elapsed() < 2500, qPrintable(QString::number(closing.elapsed())));
  }

  // A folder that is not there is said to be missing, not shown as empty.
  void missingFolderIsNamed() {
    TFormJournal journal([](const QString&) {});
    journal.show();
    const QString missing = root_ + QStringLiteral("/нет такой папки");
    journal.SetFolder(missing);
    WAIT_IDLE(journal);
    QCOMPARE(journal.model()->rowCount(), 0);
    QCOMPARE(journal.ProgressLabel->text(),
             QStringLiteral("Папка не найдена: ") + QDir::toNativeSeparators(missing));
  }

  void folderChooserAndRememberedFolder() {
    ui::test::FakePlatform fake;
    ui::ScopedPlatform scoped(&fake);
    ui::SettingsStore().write(ui::settings::SetJournalFolder, QString());
    {
      // Nothing remembered: the folder of the current record.
      TFormJournal journal([](const QString&) {}, [this] { return root_ + "/2024/ёлка.kly"; });
      QCOMPARE(journal.DefaultFolder(), root_ + "/2024");
      fake.directoryNames = {QString()};  // cancelled: nothing changes
      journal.show();
      WAIT_IDLE(journal);
      journal.FolderButtonClick();
      QCOMPARE(journal.folder(), root_ + "/2024");
      fake.directoryNames = {root_ + "/2024/весна"};
      journal.FolderButtonClick();
      QCOMPARE(journal.folder(), root_ + "/2024/весна");
      WAIT_IDLE(journal);
      QCOMPARE(WindowFiles(journal), QStringList{"переезд.kly"});
      journal.resize(700, 400);
      journal.hide();
    }
    QCOMPARE(ui::SettingsStore().read(ui::settings::SetJournalFolder), root_ + "/2024/весна");
    QCOMPARE(ui::SettingsStore().read(ui::settings::FormJournalWidth), 700);
    QCOMPARE(ui::SettingsStore().read(ui::settings::FormJournalHeight), 400);
    // The remembered folder wins over the current record's.
    TFormJournal again([](const QString&) {}, [this] { return root_ + "/дата.kly"; });
    QCOMPARE(again.DefaultFolder(), root_ + "/2024/весна");
    QCOMPARE(again.size(), QSize(700, 400));
  }

  // Double-click / Enter opens through the main window's open-a-path
  // command: its save prompt comes first, Cancel keeps the sheet, No opens.
  void openThroughTheMainWindow() {
    ui::test::FakePlatform fake;
    ui::ScopedPlatform scoped(&fake);
    ui::SettingsStore().write(ui::settings::SetJournalFolder, root_);
    TFormKalynth main;
    main.show();
    main.controls().Journal1->trigger();
    QVERIFY(main.controls().FormJournal);
    TFormJournal& journal = *main.controls().FormJournal;
    QVERIFY(journal.isVisible());
    QCOMPARE(journal.folder(), root_);
    WAIT_IDLE(journal);
    QCOMPARE(main.controls().Journal1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_J));

    main.controls().Edit7->setText(QStringLiteral("несохранённое"));  // an unnamed sheet with text
    journal.SearchEdit->setText(QStringLiteral("переезд"));
    QCOMPARE(journal.Table->model()->rowCount(), 1);
    const QModelIndex row = journal.Table->model()->index(0, records::ColNote);

    fake.answers = {ui::Answer::Cancel};
    journal.Table->setFocus();
    journal.Table->setCurrentIndex(row);
    QTest::keyClick(journal.Table, Qt::Key_Return);
    QTRY_COMPARE(fake.prompts.size(), 1);
    QCOMPARE(fake.prompts[0].text, QStringLiteral("Сохранить изменения в файле «без имени»?"));
    QCOMPARE(main.controls().Edit7->text(), QStringLiteral("несохранённое"));

    fake.answers = {ui::Answer::No};
    const QRect cell = journal.Table->visualRect(row);
    // The view takes a double click only after the press of its first click.
    QTest::mousePress(journal.Table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseRelease(journal.Table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(journal.Table->viewport(), Qt::LeftButton, {}, cell.center());
    QTRY_COMPARE(main.controls().Edit7->text(), QStringLiteral("Переезд в новый дом"));
    QCOMPARE(fake.prompts.size(), 2);
    QCOMPARE(main.currentFileName(), root_ + "/2024/весна/переезд.kly");
    QCOMPARE(main.windowTitle(), QStringLiteral("KALYNTH - переезд.kly"));
    QVERIFY(journal.isVisible());  // the journal stays open

    // A listed file that is not a record: the main window's own message.
    journal.SearchEdit->setText(QStringLiteral("заметки"));
    journal.OpenRow(journal.Table->model()->index(0, 0));
    QTRY_COMPARE(fake.prompts.size(), 3);
    QCOMPARE(fake.prompts[2].kind, QStringLiteral("error"));
    QCOMPARE(fake.prompts[2].text,
             QStringLiteral("File ") + root_ + "/заметки.kly Этот файл не является файлом KALYNTH");
  }

  // A row keeps the beginning of the comments only, and reads the same
  // fields and comments' beginning the record reader gives for the whole
  // file, whatever follows: a repeated marker, a "BEGINNER" section only
  // below the marker, too many lines.
  void largeRecordsKeepTheirBeginning_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray head =
        "[TITLE]\r\nTitle=KALYNTH\r\n[BEGINNER]\r\nEdit1=588\r\nEdit2=948\r\nEdit3=984\r\nEdit4=588\r\n"
        "Edit5=588\r\nEdit6=588\r\nEdit7=\xe7\xe0\xec\xe5\xf2\xea\xe0\r\nBtn2=0\r\n[%%%&*(0876&%9]\r\n";
    QByteArray filler;
    for (int i = 0; i < 20000; ++i) filler += "\xf1\xeb\xee\xe2\xee " + QByteArray::number(i) + "\r\n";
    QTest::newRow("one marker, CR LF") << head + "\xed\xe0\xf7\xe0\xeb\xee\r\n" + filler;
    QByteArray lf = filler;
    lf.replace("\r\n", "\n");
    QTest::newRow("one marker, LF and CR") << head + lf + "\r\r" + lf;
    QTest::newRow("marker again at the end") << head + filler + "[%%%&*(0876&%9]\r\n\xea\xee\xed\xe5\xf6\r\n";
    QByteArray late = head;
    late.replace("[BEGINNER]", "[OTHER]");
    QTest::newRow("BEGINNER below the marker")
        << late + filler + "[BEGINNER]\r\nEdit7=\xed\xe8\xe7\r\nEdit1=544\r\n" + filler;
    QByteArray many;
    for (int i = 0; i <= records::MaxCommentLines; ++i) many += "x\r\n";
    QTest::newRow("more lines than a record may hold") << head + many;
  }
  void largeRecordsKeepTheirBeginning() {
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("большая.kly"));
    WriteBytes(path, bytes);
    const JournalRow row = records::ReadJournalRow(path, dir.path());
    records::Record whole;
    try {
      whole = records::DecodeRecord(bytes);
    } catch (const records::RecordError& e) {
      QCOMPARE(row.problem, e.text());
      return;
    }
    QVERIFY2(row.isRecord(), qPrintable(row.problem));
    QCOMPARE(row.note, whole.note);
    QCOMPARE(row.commentsHead, whole.comments.left(records::CommentsHeadLength));
    QCOMPARE(row.commentsCut, whole.comments.size() > records::CommentsHeadLength);
    QCOMPARE(row.primary, records::ReadJournalRow(path, dir.path()).primary);
    // The search text holds the first 64 KiB of the comments and no more.
    QVERIFY(row.searchText.size() <=
            records::SearchedCommentsLength + row.note.size() + row.fileName.size() + 2);
    QVERIFY(row.searchText.contains(
        records::FoldForSearch(whole.comments.mid(records::SearchedCommentsLength - 20, 10))));
    QCOMPARE(JournalCell(row, records::ColComments).size(), records::CommentsPreviewLength);
  }

  // A folder named in bytes that are not UTF-8 is listed, read as
  // Windows-1251; opening such a row says why it cannot be opened.
  void namesThatAreNotUtf8() {
    ui::test::FakePlatform fake;
    ui::ScopedPlatform scoped(&fake);
    QTemporaryDir dir;
    const QByteArray old = QFile::encodeName(dir.path()) + "/\xc3\xe0\xe4\xe0\xed\xe8\xff 2003";
    QCOMPARE(::mkdir(old.constData(), 0755), 0);
    {
      QFile f;
      const int fd = ::open((old + "/\xe2\xee\xef\xf0\xee\xf1.kly").constData(), O_WRONLY | O_CREAT, 0644);
      QVERIFY(fd >= 0);
      QVERIFY(f.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
      f.write(records::EncodeRecord(
          CodesRecord({"588", "588", "588", "588", "588", "588"}, QStringLiteral("Старая запись"))));
    }
    const QList<JournalRow> rows = records::ScanJournal(dir.path());
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows[0].folder, QStringLiteral("Гадания 2003"));
    QCOMPARE(rows[0].fileName, QStringLiteral("вопрос.kly"));
    QCOMPARE(rows[0].note, QStringLiteral("Старая запись"));
    QVERIFY(!rows[0].hasPortablePath());

    TFormJournal journal([](const QString&) { QFAIL("opened a name it cannot hand on"); });
    journal.show();
    journal.SetFolder(dir.path());
    WAIT_IDLE(journal);
    QCOMPARE(WindowFiles(journal), QStringList{"вопрос.kly"});
    journal.OpenRow(journal.Table->model()->index(0, 0));
    QCOMPARE(fake.prompts.size(), 1);
    QCOMPARE(fake.prompts[0].kind, QStringLiteral("error"));
    QVERIFY(fake.prompts[0].text.contains(QStringLiteral("не в UTF-8")));
  }

  // The folder field takes a typed folder on Enter; a path that is not a
  // folder is named as such, not shown as an empty list.
  void typedFolder() {
    TFormJournal journal([](const QString&) {});
    journal.show();
    journal.SetFolder(root_);
    WAIT_IDLE(journal);
    QVERIFY(!journal.FolderEdit->isReadOnly());
    journal.FolderEdit->setText(QDir::toNativeSeparators(root_ + "/2024/весна"));
    QTest::keyClick(journal.FolderEdit, Qt::Key_Return);
    QCOMPARE(journal.folder(), root_ + "/2024/весна");
    WAIT_IDLE(journal);
    QCOMPARE(WindowFiles(journal), QStringList{"переезд.kly"});
    journal.FolderEdit->setText(root_ + "/readme.txt");
    QTest::keyClick(journal.FolderEdit, Qt::Key_Return);
    WAIT_IDLE(journal);
    QCOMPARE(journal.model()->rowCount(), 0);
    QCOMPARE(journal.ProgressLabel->text(), QStringLiteral("Это не папка: ") + root_ + "/readme.txt");
  }

  // At most MaxWatchedFolders folders are watched, the first levels first;
  // the window says so, and "Обновить" brings in what the watches miss.
  void watchesAreBounded() {
    QTemporaryDir live;
    const int folders = TFormJournal::MaxWatchedFolders + 20;
    for (int i = 0; i < folders; ++i)
      QVERIFY(QDir().mkdir(live.path() + QStringLiteral("/d%1").arg(i, 5, 10, QChar('0'))));
    TFormJournal journal([](const QString&) {});
    journal.show();
    journal.SetFolder(live.path());
    WAIT_IDLE(journal);
    QCOMPARE(journal.watchedFolders(), TFormJournal::MaxWatchedFolders);
    QVERIFY(journal.watchLimited());
    QVERIFY2(journal.ProgressLabel->text().contains(QStringLiteral("«Обновить»")),
             qPrintable(journal.ProgressLabel->text()));

    // The root is watched: a record saved there shows at once.
    records::WriteRecordFile(live.path() + "/сразу.kly", CodesRecord({}, QStringLiteral("Сразу")));
    QTRY_COMPARE_WITH_TIMEOUT(WindowFiles(journal), QStringList{"сразу.kly"}, 5000);
    // The last folders are not: "Обновить" finds what was saved there.
    records::WriteRecordFile(
        live.path() + QStringLiteral("/d%1/поздно.kly").arg(folders - 1, 5, 10, QChar('0')),
        CodesRecord({}, QStringLiteral("Поздно")));
    QTest::qWait(600);
    QCOMPARE(WindowFiles(journal), QStringList{"сразу.kly"});
    journal.RefreshButtonClick();
    WAIT_IDLE(journal);
    QCOMPARE(WindowFiles(journal), (QStringList{"поздно.kly", "сразу.kly"}));
    // Hidden, nothing is watched.
    journal.hide();
    QCOMPARE(journal.watchedFolders(), 0);
  }

  // Not a check: with KALYNTH_JOURNAL_SHOT=file.png, a picture of the
  // journal over a folder of a few dozen records (run under Xvfb to look
  // at it as a user would).
  void screenshot() {
    const QString shot = qEnvironmentVariable("KALYNTH_JOURNAL_SHOT");
    if (shot.isEmpty()) QSKIP("KALYNTH_JOURNAL_SHOT not set");
    QTemporaryDir folder;
    const char* const notes[] = {"Переезд в новый дом",    "Работа в Казани",  "Здоровье мамы",
                                 "Поездка к морю",         "Свадьба сестры",   "Учёба осенью",
                                 "Разговор с начальником", "Ремонт дачи",      "Книга: писать дальше?",
                                 "Покупка машины",         "Ёлка и праздники", "Новый проект"};
    const char* const codes[8] = {"544", "548", "584", "588", "944", "948", "984", "988"};
    for (int n = 0; n < 36; ++n) {
      records::Record r;
      r.note = QString::fromUtf8(notes[n % 12]);
      r.btn2 = n % 3 == 0;
      if (r.btn2) {
        const core::DateCasting c = core::CastFromDate(n % 12 + 1, n % 12 + 1, n % 30 + 1, n % 12);
        r.yah = n % 12, r.mon = n % 12, r.day = n % 30, r.hour = n % 12;
        r.gua = c.primary;
        r.jaoNo = c.jaoNo;
      } else {
        for (int l = 0; l < 6; ++l) r.lineCodes[l] = QString::fromLatin1(codes[(n * 5 + l * 3 + l * l) % 8]);
      }
      r.comments = QStringLiteral("Спросил вечером, ответ показался ясным.\nПроверить через месяц.");
      const QString sub = n < 12 ? QString() : QStringLiteral("/%1").arg(2020 + n / 12);
      WriteRecord(folder.path() + sub + QStringLiteral("/Untitle%1.kly").arg(n + 1), r,
                  At(2020 + n / 12, n % 12 + 1, n % 28 + 1, 9 + n % 12, n % 60));
    }
    WriteBytes(folder.path() + "/список покупок.kly", "молоко, хлеб\r\n");
    TFormJournal journal([](const QString&) {});
    journal.resize(1200, 640);
    journal.show();
    journal.SetFolder(folder.path());
    WAIT_IDLE(journal);
    QVERIFY(QTest::qWaitForWindowExposed(&journal));
    journal.Table->selectRow(2);
    QTest::qWait(200);
    QVERIFY(journal.grab().save(shot));
    journal.SearchEdit->setText(QStringLiteral("елка"));
    journal.HexagramBox->setValue(0);
    QVERIFY(journal.grab().save(QString(shot).replace(".png", "-search.png")));

    // While a larger folder is read: the progress count and the stop button.
    QTemporaryDir large;
    for (int n = 0; n < 4000; ++n)
      records::WriteRecordFile(
          large.path() + QStringLiteral("/Untitle%1.kly").arg(n),
          CodesRecord({"588", "588", "588", "544", "588", "588"}, QStringLiteral("Запись")));
    journal.SearchEdit->clear();
    journal.SetFolder(large.path());
    QTRY_VERIFY(journal.ProgressLabel->text().contains(QStringLiteral("из")) || !journal.isBusy());
    QVERIFY(journal.grab().save(QString(shot).replace(".png", "-progress.png")));
    journal.CancelButtonClick();
    WAIT_IDLE(journal);
    QVERIFY(journal.grab().save(QString(shot).replace(".png", "-stopped.png")));

    // A tree with more folders than are watched: the note and "Обновить".
    QTemporaryDir wide;
    for (int n = 0; n < TFormJournal::MaxWatchedFolders + 10; ++n)
      QDir().mkdir(wide.path() + QStringLiteral("/%1").arg(n));
    records::WriteRecordFile(
        wide.path() + QStringLiteral("/5/Untitle1.kly"),
        CodesRecord({"588", "588", "588", "544", "588", "588"}, QStringLiteral("Запись")));
    journal.SetFolder(wide.path());
    WAIT_IDLE(journal);
    QVERIFY(journal.grab().save(QString(shot).replace(".png", "-watch.png")));
  }
};

KALYNTH_TEST_MAIN(TestJournal)
#include "tst_journal.moc"
