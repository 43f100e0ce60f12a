// core::Divination: one divination as the program holds it, with every
// operation a casting or a record performs on it. Plain C++, UTF-8 texts.
//
// The main window reads its controls, calls one operation here and then
// draws its controls from the facts of the object, keeping what it shows
// and enables itself (ui/kalynth.h); the command line, the printed sheet
// and the journal read a record into the same object and ask it for
// numbers, names and texts. The rules behind the operations are the free
// functions of hexagram.h, yarrow.h and datecast.h.
//
// Contents
//   DateSelection, CastMethod, Numbers   value types
//   Divination
//     What it holds ....... lineCode note comments(Text, Revision) date figure
//                           method fromDate changingLine castDate
//                           modified bound yarrow* (the yarrow procedure)
//                           dateNumbers (trigrams of the last date casting)
//                           context (moment and calendar of the cast, SetContext)
//     Editing ............. EditLine EditNote EditComments SetDate ChooseDate
//     Number entry ........ CastFromCodes                     (">>")
//     Date casting ........ CastFromDate                      ("Получить гуа")
//     Yarrow stalks ....... BeginMilfoil Divide AllFree
//     Records ............. Restore NewSheet MarkSaved NeedsSaving
//     For readers ......... numbers HasFigure ChangingLines ChangingLineNames
//                           IsChangingLine ShowsLineCodes DateStatusText CastDateText
//   LineName                 name of a changing line ("Девятка третья")
//
// A reader of a record file: records::ReadDivinationFile (records/mapping.h).
//
// Line numbers are 1 (bottom) .. 6 (top); figure indexes are Primary,
// Nuclear, Changed. Dates are the four lists' item indexes, -1 for none.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/context.h"
#include "core/datecast.h"
#include "core/hexagram.h"
#include "core/yarrow.h"

namespace core {

// Item indexes of the four date lists: year (year number - 1, 0..11), lunar
// month (0..11), lunar day (0..29), double hour (0 = Цзы .. 11 = Хай);
// -1 when the list has no selection.
struct DateSelection {
  int year = 0, month = 0, day = 0, hour = 0;
  friend bool operator==(const DateSelection&, const DateSelection&) = default;
};

// How the figures were cast (CastMethod, core/context.h): a record file
// tells only the date casting apart, so a divination read from a file is
// Codes or Date; its context, when the record has one, keeps the method of
// the cast itself.

enum FigureIndex { Primary = 0, Nuclear = 1, Changed = 2 };

struct Numbers {
  int primary = 0, nuclear = 0, changed = 0;
  friend bool operator==(const Numbers&, const Numbers&) = default;
};

// Traditional name of line n (1..6) that changes: a changing yang line is
// a nine, a changing yin line a six ("В начале девятка", "Шестёрка
// вторая" .. "Наверху девятка"). Empty for n outside 1..6.
std::string LineName(int n, bool yang);

class Divination {
 public:
  // ---- what it holds --------------------------------------------------
  const std::string& lineCode(int n) const { return lineCodes_[Index(n)]; }
  const std::array<std::string, 6>& lineCodes() const { return lineCodes_; }
  const std::string& note() const { return note_; }
  std::vector<std::string> comments() const;                     // the comment lines
  const std::string& commentsText() const { return comments_; }  // the lines joined by '\n'
  // Grows with every change of the comments: a reader holding a copy of a
  // long comment text knows when to take it again.
  unsigned commentsRevision() const { return commentsRevision_; }
  const DateSelection& date() const { return date_; }
  // The lines of figure i as the last casting left them (kept also when the
  // casting is cleared or was invalid: a record stores the primary one).
  const Figure& figure(FigureIndex i) const { return figures_[i]; }
  CastMethod method() const { return method_; }
  bool fromDate() const { return method_ == CastMethod::Date; }
  // The line the last date casting changes (1..6), 0 for none; a casting
  // from codes sets it to 0, a cleared sheet keeps it for its record.
  int changingLine() const { return changingLine_; }
  // The date of the last date casting (also a record's), nullopt before any.
  const std::optional<DateSelection>& castDate() const { return castDate_; }
  bool modified() const { return modified_; }  // changed since opened, saved or cleared
  bool bound() const { return bound_; }        // saved to or opened from a file
  bool yarrowActive() const { return yarrowActive_; }
  int yarrowLine() const { return yarrowLine_; }          // 1..6 while active, else 0
  int yarrowDivision() const { return yarrowDivision_; }  // next division 1..3, 0 when idle
  int stalkCount() const { return stalkCount_; }
  // Upper and lower trigram and changing line of the last date casting.
  const DateNumbers& dateNumbers() const { return dateNumbers_; }
  // The moment and calendar of the cast on the sheet: set by the caster
  // after each cast (SetContext), kept by a record; nullopt before any
  // cast, after a new sheet or a cast that gave no figures, and for a
  // record that does not hold one. Every casting clears it first.
  const std::optional<CastContext>& context() const { return context_; }
  void SetContext(CastContext context) { context_ = std::move(context); }

  // ---- editing (the user's input) -------------------------------------
  // The text of line field n changed: marks the record changed.
  void EditLine(int n, std::string code);
  void EditNote(std::string note);
  void EditComments(std::string_view text);  // the comments box's whole text
  // The lists now show this date: filled by the program (the lunar date of
  // a moment), not a change of the record.
  void SetDate(const DateSelection& date);
  // The user chose in one of the lists: a change of the record.
  void ChooseDate(const DateSelection& date);

  // ---- number entry (">>") --------------------------------------------
  // The three figures from the six line codes (method `how`: Codes as
  // typed, or Coins; None while a code is invalid); marks the record changed.
  void CastFromCodes(CastMethod how = CastMethod::Codes);

  // ---- date casting ("Получить гуа") ----------------------------------
  // The three figures and the changing line from the date. An empty month
  // or day list throws ConversionError; the casting before stays then.
  void CastFromDate();

  // ---- yarrow stalks --------------------------------------------------
  // Clears the sheet for line 1 and starts the procedure.
  void BeginMilfoil();
  // Division 1, 2 or 3 of the current line with the given generator and
  // clock: writes its digit into the line's code. The third division moves
  // on to the next line; after line 6 the procedure ends and the figures
  // are cast from the codes. Outside lines 1..6 only the buttons move on.
  void Divide(int division, RandomGenerator& rng, const ClockNumber& clock);
  // Ends the procedure (also the reset after a record is read).
  void AllFree();

  // ---- records --------------------------------------------------------
  // A record read from a file: fields, lists, figures (restored for a date
  // casting, else cast from the codes), comments; then clean and bound.
  // A save writes lineCodes, note, date, fromDate, figure(Primary),
  // changingLine and commentsText.
  void Restore(const std::array<std::string, 6>& lineCodes, const std::string& note,
               const DateSelection& date, bool fromDate, const Figure& primary, int changingLine,
               std::string_view comments, std::optional<CastContext> context = std::nullopt);
  // A blank sheet: no codes, note, comments or figures; clean and unbound.
  // The date lists are left to the caller (the lunar date of the moment).
  void NewSheet();
  // Saved to a file: clean and bound.
  void MarkSaved();
  // Whether leaving this divination should ask to save it: a bound record
  // when changed, an unbound one only when it also holds something.
  bool NeedsSaving() const;

  // ---- for readers (command line, sheet, journal) ---------------------
  // The three King Wen numbers of a complete casting, else nullopt.
  std::optional<Numbers> numbers() const;
  // Whether the casting gives figure i: the primary one for any complete
  // casting, the other two when a line changes or the date cast them.
  bool HasFigure(FigureIndex i) const;
  // Line numbers 1..6 that change, bottom first: the outlined line of a
  // date casting, else the lines whose codes are "544" or "988".
  std::vector<int> ChangingLines() const;
  // Their traditional names, from the primary figure's lines.
  std::vector<std::string> ChangingLineNames() const;
  // Line field n holds a changing code (shown in red).
  bool IsChangingLine(int n) const { return IsChangingCode(lineCode(n)); }
  // Whether the line codes belong to the figures shown, so that a reader
  // prints them beside the figures: some field holds a code and the figures
  // were not cast from the date. A date casting owes nothing to the fields,
  // which keep whatever was typed or cast before (and a record keeps them as
  // typed); its changing line is the one the date gave (ChangingLines).
  bool ShowsLineCodes() const;
  // "Гуа на год Y, месяц M, день D, час H" of the date lists now.
  std::string DateStatusText() const;
  // The same of the date of the last date casting; empty before any.
  std::string CastDateText() const;

 private:
  static int Index(int n) { return n >= 1 && n <= 6 ? n - 1 : 0; }
  void CastCodes(CastMethod how);
  void CastPrimary(const Figure& primary, int changingLine);
  void SetCommentsText(std::string_view text);

  std::array<std::string, 6> lineCodes_;
  std::string note_;
  std::string comments_;
  unsigned commentsRevision_ = 0;
  DateSelection date_;
  std::array<Figure, 3> figures_{Figure{true, true, true, true, true, true},
                                 Figure{true, true, true, true, true, true},
                                 Figure{true, true, true, true, true, true}};
  CastMethod method_ = CastMethod::None;
  int changingLine_ = 0;
  std::optional<DateSelection> castDate_;
  std::optional<CastContext> context_;
  bool modified_ = false;
  bool bound_ = false;
  bool yarrowActive_ = false;
  int yarrowLine_ = 0;
  int yarrowDivision_ = 0;
  int stalkCount_ = 0;
  DateNumbers dateNumbers_;
};

}  // namespace core
