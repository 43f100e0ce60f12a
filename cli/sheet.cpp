// kalynth-calc sheet: the printed sheet of a record as a PDF, without a window.
#include "sheet/sheet.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <memory>
#include <ostream>
#include <stdexcept>

#include "calendar/civil.h"
#include "cli/args.h"
#include "cli/calc.h"
#include "cli/tsv.h"
#include "records/mapping.h"

namespace cli {

int SheetCommand(const std::vector<std::string>& args, std::ostream& out, const Environment& env) {
  const ParsedArgs a = ParseArgs("sheet", args, 1, {"--correction"}, {});
  if (a.positional.size() < 2) throw UsageError("команде sheet нужны файл записи и файл PDF");
  if (a.positional.size() > 2) throw UsageError("лишний аргумент «" + a.positional[2] + "»");
  const QString recordPath = QFile::decodeName(a.positional[0].c_str());
  const QString pdfPath = QFile::decodeName(a.positional[1].c_str());
  records::FileIdentity recordFile;
  const std::optional<core::Divination> read = records::ReadDivinationFile(recordPath, &recordFile);
  if (!read) throw std::runtime_error(records::NotARecordMessage(recordPath).toStdString());
  const core::Divination& divination = *read;

  if (!divination.numbers()) throw std::runtime_error(ui::EmptySheetText);

  // Fonts and painting need a GUI application; the offscreen platform gives
  // one without a display. Qt's own notes (a missing runtime folder and the
  // like) stay off the error stream, which carries only the command's error.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) fprintf(stderr, "%s\n", qPrintable(message));
  });
  std::unique_ptr<QGuiApplication> app;
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    if (QCoreApplication::instance()) throw std::runtime_error("sheet: no GUI application");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kalynth-calc";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
  }

  // The double hour of a date casting in clock time, under the correction
  // the window would print with.
  const calendar::CivilDateTime now = calendar::DecodeCivilDateTime(env.now());
  const ui::SheetFooter footer{recordPath,
                               QDateTime(QDate(now.year, now.month, now.day), QTime(now.hour, now.minute)),
                               TimeSettingsOf(a, env)};
  // The PDF never takes the place of the record itself (the same file by
  // any name) or of any ".kly" file.
  const int pages = ui::ExportSheetPdf(divination, footer, pdfPath, recordFile);
  out << "file\tpages\n" << TsvCell(a.positional[1]) << '\t' << pages << '\n';
  return 0;
}

}  // namespace cli
