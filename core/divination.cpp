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
  castEnabled_ = true;
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

void Divination::CastFromCodes() {
  modified_ = true;
  GoButton();
  ZapolnenieLabelStatus(false);
}

void Divination::GoButton() {
  // No figure outlines a line after number entry: changing lines show in
  // the fields' red text.
  for (FigureView& f : figures_) {
    f.jaoNo = 0;
    f.shown = false;
  }
  for (NumberView& n : numbers_) n.shown = false;
  const CodesCasting c = core::CastFromCodes(
      {lineCodes_[0], lineCodes_[1], lineCodes_[2], lineCodes_[3], lineCodes_[4], lineCodes_[5]});
  figures_[Primary].lines = c.primary;
  figures_[Changed].lines = c.changed;
  figures_[Nuclear].lines = c.nuclear;
  if (!c.valid) return;  // an invalid code is not reported: nothing shows
  numbers_[Primary].caption = c.primaryNo;
  numbers_[Nuclear].caption = c.nuclearNo;
  numbers_[Changed].caption = c.changedNo;
  // Without a changing line the primary figure stands alone.
  if (c.primaryNo != c.changedNo) {
    figures_[Nuclear].shown = figures_[Changed].shown = true;
    numbers_[Nuclear].shown = numbers_[Changed].shown = true;
  }
  figures_[Primary].shown = numbers_[Primary].shown = true;
}

void Divination::ZapolnenieLabelStatus(bool show) {
  if (show) statusText_ = DateStatusText();
  statusShown_ = show;
}

std::string Divination::DateStatusText() const {
  return StatusText(date_.year + 1, ListText(date_.month, MonthCount), ListText(date_.day, DayCount),
                    date_.hour);
}

// ---- date casting ---------------------------------------------------------

void Divination::CastFromDate() {
  modified_ = true;
  for (FigureView& f : figures_) f.shown = false;
  const int month = ListValue(date_.month, MonthCount);
  const int day = ListValue(date_.day, DayCount);
  const DateCasting c = core::CastFromDate(date_.year + 1, month, day, date_.hour);
  dateNumbers_ = c.numbers;
  OpenCalc(c.primary, c.jaoNo);
  ZapolnenieLabelStatus(true);
}

// The figures of a date casting from the primary figure and its changing
// line, shown with their numbers (a casting and a record restored alike).
void Divination::OpenCalc(const Figure& primary, int jaoNo) {
  const int stored = StoredJaoNo(jaoNo);
  const DateCasting c = RestoreDateCasting(primary, stored);
  figures_[Primary].lines = c.primary;
  figures_[Changed].lines = c.changed;
  figures_[Nuclear].lines = c.nuclear;
  for (FigureView& f : figures_) {
    f.jaoNo = stored;
    f.shown = true;
  }
  ShowNumbers();
}

void Divination::ShowNumbers() {
  for (int i = 0; i < 3; ++i) numbers_[i] = {figures_[i].number(), true};
}

// ---- yarrow stalks ----------------------------------------------------------

void Divination::BeginMilfoil() {
  castEnabled_ = true;
  yarrowLine_ = 1;
  yarrowDivision_ = 1;
  ZapolnenieLabelStatus(false);
  SetCommentsText({});
  note_.clear();
  for (std::string& code : lineCodes_) code.clear();
  for (FigureView& f : figures_) f.shown = false;
  for (NumberView& n : numbers_) n.shown = false;
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
    castEnabled_ = true;
  }
  // The record counts as changed only once the sixth line is finished.
  bound_ = false;
  modified_ = false;
  if (division != 3) return;
  if (++yarrowLine_ == 7) {
    AllFree();
    SetCommentsText({});
    modified_ = true;
    CastFromCodes();
  }
}

void Divination::AllFree() {
  yarrowLine_ = 0;
  yarrowDivision_ = 0;
  yarrowActive_ = false;
}

// ---- records ------------------------------------------------------------------

void Divination::Restore(const RecordValues& values) {
  // Each field that changes runs the field's change reaction.
  for (int n = 1; n <= 6; ++n)
    if (values.lineCodes[n - 1] != lineCodes_[n - 1]) EditLine(n, values.lineCodes[n - 1]);
  if (values.note != note_) EditNote(values.note);
  date_ = {ListIndex(values.date.year, YearCount), ListIndex(values.date.month, MonthCount),
           ListIndex(values.date.day, DayCount), ListIndex(values.date.hour, HourCount)};
  if (values.fromDate) {
    // The figures as the casting showed them, without computing the date again.
    OpenCalc(values.primary, values.jaoNo);
    bound_ = true;
    ZapolnenieLabelStatus(true);
  } else {
    CastFromCodes();
  }
  AllFree();
  SetCommentsText(values.comments);
  modified_ = false;
  bound_ = true;
}

RecordValues Divination::Describe() const {
  RecordValues v;
  v.lineCodes = lineCodes_;
  v.note = note_;
  v.date = date_;
  v.fromDate = statusShown_;
  v.primary = figures_[Primary].lines;
  v.jaoNo = figures_[Primary].jaoNo;
  v.comments = comments_;
  return v;
}

void Divination::NewSheet() {
  for (std::string& code : lineCodes_) code.clear();
  castEnabled_ = false;
  for (FigureView& f : figures_) f.shown = false;
  for (NumberView& n : numbers_) n.shown = false;
  note_.clear();
  AllFree();
  SetCommentsText({});
  ZapolnenieLabelStatus(false);
  modified_ = false;
  bound_ = false;
}

void Divination::MarkSaved() {
  modified_ = false;
  bound_ = true;
}

bool Divination::NeedsSaving() const {
  if (bound_) return modified_;
  bool content = !note_.empty() || !comments_.empty() || figures_[Primary].shown;
  for (const std::string& code : lineCodes_) content = content || !code.empty();
  return content && modified_;
}

// ---- for readers -----------------------------------------------------------------

std::optional<Numbers> Divination::numbers() const {
  if (!numbers_[Primary].shown) return std::nullopt;
  return Numbers{numbers_[Primary].caption, numbers_[Nuclear].caption, numbers_[Changed].caption};
}

std::vector<int> Divination::ChangingLines() const {
  std::vector<int> lines;
  if (statusShown_) {
    const int n = figures_[Primary].jaoNo;
    if (n >= 1 && n <= 6) lines.push_back(n);
    return lines;
  }
  for (int n = 1; n <= 6; ++n)
    if (IsChangingLine(n)) lines.push_back(n);
  return lines;
}

bool Divination::ShowsLineCodes() const {
  if (statusShown_) return false;
  for (const std::string& code : lineCodes_)
    if (!code.empty()) return true;
  return false;
}

std::vector<std::string> Divination::ChangingLineNames() const {
  std::vector<std::string> names;
  for (int n : ChangingLines()) names.push_back(LineName(n, figures_[Primary].lines[n - 1]));
  return names;
}

}  // namespace core
