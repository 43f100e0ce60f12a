// One divination and the operations of its castings and records.
#include "core/divination.h"

#include "core/messages.h"

namespace core {

namespace {

// The lists' texts: the month and day lists hold "1".."12" and "1".."30";
// a list without selection shows no text.
std::string ListText(int index, int count) {
  return index >= 0 && index < count ? std::to_string(index + 1) : "";
}

// An item index outside a list leaves it without selection.
int ListIndex(int index, int count) {
  return index >= 0 && index < count ? index : -1;
}

// Integer value of a list's text; the empty text of a list without
// selection is no integer.
int ListValue(int index, int count) {
  const std::string text = ListText(index, count);
  if (text.empty()) throw ConversionError(text);
  return index + 1;
}

constexpr int YearCount = 12, MonthCount = 12, DayCount = 30, HourCount = 12;

// A figure keeps a changing line above 6 as 0 (no line outlined).
int StoredJaoNo(int n) {
  return n > 6 ? 0 : n;
}

}  // namespace

std::string NotAnIntegerText(std::string_view text) {
  return "'" + std::string(text) + "' is not a valid integer value";
}

std::string LineName(int n, bool yang) {
  static const char* const places[6] = {"", "вторая", "третья", "четвёртая", "пятая", ""};
  if (n < 1 || n > 6) return {};
  const std::string number = yang ? "девятка" : "шестёрка";
  if (n == 1) return "В начале " + number;
  if (n == 6) return "Наверху " + number;
  return (yang ? "Девятка " : "Шестёрка ") + std::string(places[n - 1]);
}

std::vector<std::string> Divination::comments() const {
  std::vector<std::string> lines;
  if (comments_.empty()) return lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = comments_.find('\n', start);
    lines.push_back(comments_.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return lines;
    start = end + 1;
  }
}

// ---- editing ------------------------------------------------------------

void Divination::EditLine(int n, std::string code) {
  if (n < 1 || n > 6) return;
  lineCodes_[n - 1] = std::move(code);
  modified_ = true;
}

void Divination::EditNote(std::string note) {
  note_ = std::move(note);
  modified_ = true;
}

void Divination::EditComments(std::string_view text) {
  SetCommentsText(text);
  modified_ = true;
}

void Divination::SetCommentsText(std::string_view text) {
  ++commentsRevision_;
  comments_ = text;
}

void Divination::SetDate(const DateSelection& date) {
  date_ = date;
}

void Divination::ChooseDate(const DateSelection& date) {
  date_ = date;
  modified_ = true;
}

// ---- number entry ---------------------------------------------------------

void Divination::CastFromCodes(CastMethod how) {
  modified_ = true;
  CastCodes(how);
}

void Divination::CastCodes(CastMethod how) {
  context_.reset();
  // No figure has a changing line of its own after number entry: changing
  // lines are those of the codes.
  changingLine_ = 0;
  const CodesCasting c = core::CastFromCodes(
      {lineCodes_[0], lineCodes_[1], lineCodes_[2], lineCodes_[3], lineCodes_[4], lineCodes_[5]});
  figures_[Primary] = c.primary;
  figures_[Changed] = c.changed;
  figures_[Nuclear] = c.nuclear;
  method_ = c.valid ? how : CastMethod::None;  // an invalid code is not reported
}

std::string Divination::DateStatusText() const {
  return StatusText(date_.year + 1, ListText(date_.month, MonthCount), ListText(date_.day, DayCount),
                    date_.hour);
}

std::string Divination::CastDateText() const {
  if (!castDate_) return {};
  const DateSelection& d = *castDate_;
  return StatusText(d.year + 1, ListText(d.month, MonthCount), ListText(d.day, DayCount), d.hour);
}

// ---- date casting ---------------------------------------------------------

void Divination::CastFromDate() {
  modified_ = true;
  const int month = ListValue(date_.month, MonthCount);
  const int day = ListValue(date_.day, DayCount);
  const DateCasting c = core::CastFromDate(date_.year + 1, month, day, date_.hour);
  dateNumbers_ = c.numbers;
  CastPrimary(c.primary, c.jaoNo);
}

// The figures of a date casting from the primary figure and its changing
// line (a casting and a record restored alike).
void Divination::CastPrimary(const Figure& primary, int changingLine) {
  changingLine_ = StoredJaoNo(changingLine);
  const DateCasting c = RestoreDateCasting(primary, changingLine_);
  figures_[Primary] = c.primary;
  figures_[Changed] = c.changed;
  figures_[Nuclear] = c.nuclear;
  method_ = CastMethod::Date;
  castDate_ = date_;
  context_.reset();
}

// ---- yarrow stalks ----------------------------------------------------------

void Divination::BeginMilfoil() {
  yarrowLine_ = 1;
  yarrowDivision_ = 1;
  method_ = CastMethod::None;
  context_.reset();
  SetCommentsText({});
  note_.clear();
  for (std::string& code : lineCodes_) code.clear();
  bound_ = false;
  modified_ = false;
  yarrowActive_ = true;
}

void Divination::Divide(int division, RandomGenerator& rng, const ClockNumber& clock) {
  if (division < 1 || division > 3) return;
  yarrowDivision_ = division % 3 + 1;
  if (yarrowLine_ >= 1 && yarrowLine_ <= 6) {
    std::string& code = lineCodes_[yarrowLine_ - 1];
    int digit = 0;
    if (division == 1) {
      digit = Step_1(rng, clock, stalkCount_);
      code.clear();  // the first digit replaces whatever the field held
    } else if (division == 2) {
      digit = Step_2(rng, clock, stalkCount_);
    } else {
      digit = Step_3(rng, clock, stalkCount_);
    }
    code += std::to_string(digit);
  }
  // The record counts as changed only once the sixth line is finished.
  bound_ = false;
  modified_ = false;
  if (division != 3) return;
  if (++yarrowLine_ == 7) {
    AllFree();
    SetCommentsText({});
    modified_ = true;
    CastCodes(CastMethod::Yarrow);
  }
}

void Divination::AllFree() {
  yarrowLine_ = 0;
  yarrowDivision_ = 0;
  yarrowActive_ = false;
}

// ---- records ------------------------------------------------------------------

void Divination::Restore(const std::array<std::string, 6>& lineCodes, const std::string& note,
                         const DateSelection& date, bool fromDate, const Figure& primary, int changingLine,
                         std::string_view comments, std::optional<CastContext> context) {
  // Each field that changes runs the field's change reaction.
  for (int n = 1; n <= 6; ++n)
    if (lineCodes[n - 1] != lineCodes_[n - 1]) EditLine(n, lineCodes[n - 1]);
  if (note != note_) EditNote(note);
  date_ = {ListIndex(date.year, YearCount), ListIndex(date.month, MonthCount), ListIndex(date.day, DayCount),
           ListIndex(date.hour, HourCount)};
  if (fromDate) {
    // The figures as the casting showed them, without computing the date again.
    CastPrimary(primary, changingLine);
  } else {
    CastFromCodes();
  }
  AllFree();
  SetCommentsText(comments);
  context_ = std::move(context);
  modified_ = false;
  bound_ = true;
}

void Divination::NewSheet() {
  for (std::string& code : lineCodes_) code.clear();
  method_ = CastMethod::None;
  context_.reset();
  note_.clear();
  AllFree();
  SetCommentsText({});
  modified_ = false;
  bound_ = false;
}

void Divination::MarkSaved() {
  modified_ = false;
  bound_ = true;
}

bool Divination::NeedsSaving() const {
  if (bound_) return modified_;
  bool content = !note_.empty() || !comments_.empty() || numbers().has_value();
  for (const std::string& code : lineCodes_) content = content || !code.empty();
  return content && modified_;
}

// ---- for readers -----------------------------------------------------------------

std::optional<Numbers> Divination::numbers() const {
  if (method_ == CastMethod::None) return std::nullopt;
  return Numbers{CalcNoGua(figures_[Primary]), CalcNoGua(figures_[Nuclear]), CalcNoGua(figures_[Changed])};
}

bool Divination::HasFigure(FigureIndex i) const {
  const std::optional<Numbers> n = numbers();
  if (!n) return false;
  return i == Primary || fromDate() || n->primary != n->changed;
}

std::vector<int> Divination::ChangingLines() const {
  std::vector<int> lines;
  if (fromDate()) {
    const int n = changingLine_;
    if (n >= 1 && n <= 6) lines.push_back(n);
    return lines;
  }
  for (int n = 1; n <= 6; ++n)
    if (IsChangingLine(n)) lines.push_back(n);
  return lines;
}

bool Divination::ShowsLineCodes() const {
  if (fromDate()) return false;
  for (const std::string& code : lineCodes_)
    if (!code.empty()) return true;
  return false;
}

std::vector<std::string> Divination::ChangingLineNames() const {
  std::vector<std::string> names;
  for (int n : ChangingLines()) names.push_back(LineName(n, figures_[Primary][n - 1]));
  return names;
}

}  // namespace core
