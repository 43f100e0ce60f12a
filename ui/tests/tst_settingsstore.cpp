// The per-user settings store: defaults of an empty store, value encoding,
// names compared without regard to case, nothing cached between accesses.
#include <QFile>
#include <QTest>

#include "settings/SettingsStore.h"
#include "ui/tests/TestSupport.h"

using namespace ui;

class TestSettingsStore : public QObject {
  Q_OBJECT

 private:
  QString iniPath() const { return SettingsStore().fileName(); }
  void writeFile(const QByteArray& bytes) {
    QFile f(iniPath());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
  }
  QByteArray fileBytes() {
    QFile f(iniPath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

 private slots:
  void initTestCase() { test::IsolateSettings(); }
  void init() { QFile::remove(iniPath()); }

  void storeLivesInThePerUserConfigFolder() {
    QVERIFY(iniPath().endsWith(QStringLiteral("/KALYNTH/KALYNTH.ini")));
    QVERIFY(iniPath().startsWith(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"))));
  }

  // First start: every value of the table reads as its declared default.
  void emptyStoreGivesDefaults() {
    SettingsStore s;
    QCOMPARE(s.read(settings::FormHeight), 331);
    QCOMPARE(s.read(settings::FormHeightIndex), 400);
    QCOMPARE(s.read(settings::FormLeft, 123), 123);
    QCOMPARE(s.read(settings::CalendarLetneeTime), 3);
    QCOMPARE(s.read(settings::CalendarGMT), 15);
    QCOMPARE(s.read(settings::SetHint), true);
    for (const BoolSetting& onTop : {settings::SetCzaczyTop, settings::SetDiagWinTop, settings::SetVenvanTop,
                                     settings::SetUsinWinTop, settings::SetLegendaTop})
      QVERIFY2(s.read(onTop), onTop.name);
    QCOMPARE(s.read(settings::FormCzaczyShow), true);
    for (const BoolSetting& shown : {settings::FormDiagShow, settings::FormVenvanShow, settings::FormUsinShow,
                                     settings::FormLegendaShow})
      QVERIFY2(!s.read(shown), shown.name);
    QCOMPARE(s.read(settings::SetCheckMoon), false);
    QCOMPARE(s.read(settings::ParamStr), QString());
    QVERIFY(!QFile::exists(iniPath()));  // reading creates nothing
  }

  void valuesAreStoredAsText() {
    {
      SettingsStore s;
      s.write(settings::FormHeight, 512);
      s.write(settings::SetHint, false);
      s.write(settings::FormCzaczyShow, true);
      s.write(settings::FormLeft, -20);
    }
    const QByteArray bytes = fileBytes();
    QVERIFY(bytes.contains("[Form]"));
    QVERIFY(bytes.contains("Height=512"));
    QVERIFY(bytes.contains("Left=-20"));
    QVERIFY(bytes.contains("CzaczyShow=1"));
    QVERIFY(bytes.contains("[Set]"));
    QVERIFY(bytes.contains("Hint=0"));
    SettingsStore s;
    QCOMPARE(s.read(settings::FormHeight), 512);
    QCOMPARE(s.read(settings::FormLeft, 0), -20);
    QCOMPARE(s.read(settings::SetHint), false);
  }

  // Text that is not an integer reads as the default; a boolean is an
  // integer that is true when not 0.
  void readingRules_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("asHeight");  // default 331
    QTest::addColumn<bool>("asHint");   // default true
    QTest::newRow("decimal") << QByteArray("500") << 500 << true;
    QTest::newRow("zero") << QByteArray("0") << 0 << false;
    QTest::newRow("negative") << QByteArray("-7") << -7 << true;
    QTest::newRow("blanks around") << QByteArray(" 42 ") << 42 << true;
    QTest::newRow("empty") << QByteArray("") << 331 << true;
    QTest::newRow("word") << QByteArray("abc") << 331 << true;
    QTest::newRow("trailing junk") << QByteArray("12px") << 331 << true;
    QTest::newRow("fraction") << QByteArray("1.5") << 331 << true;
    QTest::newRow("too large") << QByteArray("99999999999") << 331 << true;
    // The ends of int are integers; one beyond either end is text.
    QTest::newRow("largest int") << QByteArray("2147483647") << 2147483647 << true;
    QTest::newRow("smallest int") << QByteArray("-2147483648") << (-2147483647 - 1) << true;
    QTest::newRow("one above int") << QByteArray("2147483648") << 331 << true;
    QTest::newRow("one below int") << QByteArray("-2147483649") << 331 << true;
    QTest::newRow("far below int") << QByteArray("-99999999999999999999") << 331 << true;
    QTest::newRow("plus sign") << QByteArray("+5") << 5 << true;
    QTest::newRow("hexadecimal") << QByteArray("0x10") << 331 << true;
    QTest::newRow("true as word") << QByteArray("true") << 331 << true;
  }
  void readingRules() {
    QFETCH(QByteArray, text);
    QFETCH(int, asHeight);
    QFETCH(bool, asHint);
    writeFile("[Form]\nHeight=" + text + "\n[Set]\nHint=" + text + "\n");
    SettingsStore s;
    QCOMPARE(s.read(settings::FormHeight), asHeight);
    QCOMPARE(s.read(settings::SetHint), asHint);
  }

  // The main window writes "LegendaShow", the legend window reads
  // "legendaShow": one and the same value.
  void valueNamesIgnoreCase() {
    {
      SettingsStore s;
      s.writeText(QStringLiteral("Form"), QStringLiteral("LegendaShow"), QStringLiteral("1"));
    }
    SettingsStore s;
    QCOMPARE(s.rawText(QStringLiteral("Form"), QStringLiteral("legendaShow")), std::optional<QString>("1"));
    QCOMPARE(s.read(BoolSetting{"Form", "legendaShow", false}), true);
    QCOMPARE(s.read(settings::FormLegendaShow), true);
  }

  void writeKeepsTheSpellingInTheFile() {
    writeFile("[form]\nlegendashow=1\nHEIGHT=377\n");
    {
      SettingsStore s;
      QCOMPARE(s.read(settings::FormHeight), 377);
      s.write(settings::FormLegendaShow, false);
    }
    const QByteArray bytes = fileBytes();
    QVERIFY2(bytes.contains("legendashow=0"), bytes.constData());
    QVERIFY(!bytes.contains("LegendaShow"));
    QVERIFY(!bytes.contains("[Form]"));
    QCOMPARE(SettingsStore().read(settings::FormLegendaShow), false);
  }

  // "CzaczyTop" is a position in "Form" and a stay-on-top flag in "Set".
  void sameNameInTwoGroupsAreTwoValues() {
    {
      SettingsStore s;
      s.write(settings::FormCzaczyTop, 250);
      s.write(settings::SetCzaczyTop, false);
    }
    SettingsStore s;
    QCOMPARE(s.read(settings::FormCzaczyTop, 0), 250);
    QCOMPARE(s.read(settings::SetCzaczyTop), false);
    s.write(settings::SetCzaczyTop, true);
    QCOMPARE(s.read(settings::FormCzaczyTop, 0), 250);
  }

  // The hand-off value: any path survives the round trip, and a store
  // opened after another process wrote the file sees the new text.
  void handOffValue() {
    const QString path = QStringLiteral("/home/пользователь/гадания, 2024/a=b;c.kly");
    {
      SettingsStore s;
      s.write(settings::ParamStr, path);
    }
    QCOMPARE(SettingsStore().read(settings::ParamStr), path);

    SettingsStore before;
    QCOMPARE(before.read(settings::ParamStr), path);
    writeFile("[ParamStr]\nParamStr=/tmp/other.kly\n");
    QCOMPARE(SettingsStore().read(settings::ParamStr), QStringLiteral("/tmp/other.kly"));
    {
      SettingsStore s;
      s.write(settings::ParamStr, QString());
    }
    QCOMPARE(SettingsStore().read(settings::ParamStr), QString());
  }

  // The zone the window and kalynth-calc count with: a stored one as it is
  // (even out of the list or not a number), else the desktop's offset when
  // it is a whole hour of the list, else the default.
  void zoneOfAFirstStart_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("zone");
    QTest::newRow("nothing stored, GMT+0") << QByteArray() << 0 << 12;
    QTest::newRow("nothing stored, GMT-12") << QByteArray() << -12 * 3600 << 0;
    QTest::newRow("nothing stored, GMT+13") << QByteArray() << 13 * 3600 << 25;
    QTest::newRow("nothing stored, GMT+14 is not listed") << QByteArray() << 14 * 3600 << 15;
    QTest::newRow("nothing stored, GMT+5:30 is not listed") << QByteArray() << 5 * 3600 + 1800 << 15;
    QTest::newRow("stored zone kept") << QByteArray("[Calendar]\nGMT=20\n") << 0 << 20;
    QTest::newRow("stored name in another case") << QByteArray("[calendar]\ngmt=3\n") << 0 << 3;
    QTest::newRow("stored nonsense reads as the default") << QByteArray("[Calendar]\nGMT=abc\n") << 0 << 15;
    QTest::newRow("stored out of the list is kept") << QByteArray("[Calendar]\nGMT=99\n") << 0 << 99;
    QTest::newRow("another value of the group only")
        << QByteArray("[Calendar]\nLetneeTime=4\n") << 7200 << 14;
  }
  void zoneOfAFirstStart() {
    QFETCH(QByteArray, file);
    QFETCH(int, offset);
    QFETCH(int, zone);
    if (!file.isEmpty()) writeFile(file);
    QCOMPARE(StoredTimeZoneIndex(SettingsStore(), offset), zone);
  }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
