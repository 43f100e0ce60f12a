// The journal's rows written out for other programs: CSV (RFC 4180) and
// JSON, both UTF-8. The journal window's export and "kalynth-calc journal
// --format" write these bytes.
//
// CSV: a header line of the column keys (JournalColumnKey), then one line
// per row, lines ended by CR LF. A field holding a comma, a double quote,
// CR or LF is put in double quotes, its quotes doubled. The cells are the
// journal's (JournalCell), except that the texts are whole: the file name,
// folder, note, lunar date and problem keep their line breaks and tabs, and
// the comments are the record's whole comments, read from its file.
//
// JSON: an array with one object per row:
//   "path", "folder", "file"     strings
//   "saved"        the file's modification time, ISO 8601 with its offset,
//                  or null
//   "cast"         the moment of the cast as the record keeps it, ISO 8601
//                  with the offset it was cast in, or null
//   "context"      the calendar of the cast in one line, or null
//   "note"         string
//   "primary", "nuclear", "changed"   King Wen numbers, or null when the
//                  window shows none
//   "changing_lines"  array of line numbers 1..6, bottom first
//   "lunar_date"   the date text of a date casting, or null
//   "comments"     the whole comments (lines joined by "\n")
//   "problem"      why the file is not a record, or null for a record
//   "is_folder"    true for a subfolder that could not be listed
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "records/journal.h"

namespace records {

// The record's whole comments, read from its file again (the row keeps
// only their beginning). When the file can no longer be read as a record,
// the beginning the row keeps.
QString WholeComments(const JournalRow& row);

// One CSV field as RFC 4180 writes it (quoted when it must be).
QByteArray CsvField(const QString& text);

QByteArray JournalCsv(const QList<JournalRow>& rows);
QByteArray JournalJson(const QList<JournalRow>& rows);

// Writes an export all or nothing (records::ReplacingFile): the file is
// the whole export or, after a failure, what it was. A name ending in
// ".kly" (any letter case) is refused, so that no record is ever
// overwritten; another user's link is never followed. Throws RecordError
// with the text shown: «Экспорт журнала не записывается в файл записи:
// <path>», ForeignLinkText or "Cannot create file <path>".
void WriteJournalExport(const QString& path, const QByteArray& bytes);

}  // namespace records
