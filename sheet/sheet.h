// The divination sheet: one divination on paper.
//
// PaintSheet lays the sheet out on any QPainter: the PDF export, the printer
// (with Qt's print preview, in the main window) and the tests' images all
// come from this one function. The sheet reads a core::Divination, the same
// model the main window, the record file and kalynth-calc use, and never
// changes it.
//
// Contents
//   SheetFooter          file name and moment of printing for the footer, and
//                        the time correction the clock times are given in
//   SheetLayout          where the figures went, how many pages were painted
//   PaintSheet           the layout itself
//   ExportSheetPdf       an A4 PDF, all or nothing
//   SheetMargins         the A4 page margins of PDF and printer
//   EmptySheetText       the refusal of a sheet without a hexagram
#pragma once

#include <QDateTime>
#include <QMarginsF>
#include <QPageLayout>
#include <QRectF>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "calendar/time_settings.h"
#include "core/divination.h"
#include "records/files.h"
#include "records/record.h"

class QPainter;

namespace ui {

// The A4 page's margins in millimetres (left, top, right, bottom), for the
// PDF and the printer alike.
inline const QMarginsF SheetMargins{18, 15, 15, 12};

// Shown when there is no hexagram to print (thrown as std::runtime_error).
// The page of the PDF and of the printer: A4 upright with those margins.
QPageLayout SheetPageLayout();

inline const char* const EmptySheetText =
    "Лист пуст: гуа ещё не получена, печатать нечего. Получите гуа и повторите печать.";

// The most of the comments a sheet prints: characters, and pages from the
// one their heading stands on (the rest is named in a line at the end).
inline constexpr qsizetype SheetCommentsLength = 20000;
inline constexpr int SheetCommentsPages = 8;

struct SheetFooter {
  QString fileName;     // the record's file name; empty for an unsaved record
  QDateTime printedAt;  // local moment of printing
  // The time settings in force: the double hour of a date casting is
  // printed in clock time, as the "Час" list shows it.
  calendar::TimeSettings timeSettings{};
};

struct SheetLayout {
  // Device rectangles of the primary, nuclear and changed figures' six
  // lines (empty for a figure not shown).
  std::array<QRectF, 3> figures;
  // The page of the reading's rule, and its selected texts in the order
  // printed: the pages of each heading and of the end of its texts, and
  // the rectangle from the heading to that end (from the top of the end's
  // page when they differ).
  struct ReadingBlock {
    int headingPage = 0, endPage = 0;
    QRectF rect;
  };
  int rulePage = 0;
  std::vector<ReadingBlock> reading;
  int pages = 0;
};

// Paints the sheet into `area` (device pixels of the painter's device; its
// logical resolution gives the millimetres). `newPage` is called before
// every page after the first and must give a clean page of the same size.
// Throws std::runtime_error(EmptySheetText) before painting anything when
// the divination shows no hexagram.
SheetLayout PaintSheet(QPainter& painter, const QRectF& area, const core::Divination& divination,
                       const SheetFooter& footer, const std::function<void()>& newPage);

// Writes the sheet as an A4 PDF and returns its number of pages. The file appears only when it is complete:
// a path that cannot be written throws std::runtime_error with the text
// "Cannot create file <path>" and leaves no file; an empty sheet throws
// before the file is touched. The place is checked by OpenSheetFile first.
int ExportSheetPdf(const core::Divination& divination, const SheetFooter& footer, const QString& path,
                   const records::FileIdentity& record = {});

// The new file of a sheet at `path` (records::ReplacingFile), or a
// std::runtime_error naming the path: a name ending in ".kly" (any case)
// (RecordOutputText) or leading to `record`, the record the sheet is made
// from (SameAsRecordText), is never overwritten by a sheet, another user's symbolic link
// is never followed (records::ForeignLinkText), and anything else that
// keeps the file from being made is "Cannot create file <path>".
std::unique_ptr<records::ReplacingFile> OpenSheetFile(const QString& path,
                                                      const records::FileIdentity& record);
QString RecordOutputText(const QString& path);
QString SameAsRecordText(const QString& path);
// The sheet's file is complete: nothing failed writing it, and it did not
// stop at the file-size limit (which the PDF writer would not report).
bool SheetFileComplete(const records::ReplacingFile& file);

}  // namespace ui
