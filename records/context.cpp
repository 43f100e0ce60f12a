#include "records/context.h"

#include <QDateTime>
#include <QRegularExpression>

#include "calendar/season.h"
#include "records/inifile.h"
#include "records/record.h"

namespace records {
namespace {

const QString kContext = QString::fromLatin1(ContextSection);

const char* const MomentKey = "Moment";
const char* const MethodKey = "Method";
const char* const ZoneKey = "Zone";
const char* const CorrectionKey = "Correction";
const char* const LunarYearKey = "LunarYear";
const char* const LunarMonthKey = "LunarMonth";
const char* const LeapMonthKey = "LeapMonth";
const char* const LunarDayKey = "LunarDay";
const char* const DoubleHourKey = "DoubleHour";
const char* const PillarKeys[4] = {"YearPillar", "MonthPillar", "DayPillar", "HourPillar"};
const char* const TermKey = "Term";
const char* const SeasonKey = "Season";
const char* const BoundaryKey = "Boundary";

QString K(const char* key) {
  return QString::fromLatin1(key);
}
QString U(const std::string& text) {
  return QString::fromStdString(text);
}

// An integer within [low, high], else nullopt.
std::optional<int> InRange(const std::optional<QString>& text, int low, int high) {
  if (!text) return std::nullopt;
  const std::optional<int> n = ParseIniInteger(*text);
  if (!n || *n < low || *n > high) return std::nullopt;
  return n;
}

// The moment as ISO 8601 with an explicit offset (or Z), else nullopt.
std::optional<std::string> Moment(const std::optional<QString>& text) {
  if (!text || text->size() > 40) return std::nullopt;
  static const QRegularExpression shape(
      QStringLiteral(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d(:\d\d)?(\.\d+)?(Z|[+-]\d\d:\d\d)$)"));
  if (!shape.match(*text).hasMatch()) return std::nullopt;
  const QDateTime t = QDateTime::fromString(*text, Qt::ISODateWithMs);
  if (!t.isValid()) return std::nullopt;
  const int offset = t.offsetFromUtc();
  if (offset < -14 * 3600 || offset > 14 * 3600) return std::nullopt;
  return text->toStdString();
}

// One of the names of the table `name` (0..23), else nullopt.
std::optional<std::string> KnownName(const std::optional<QString>& text, const std::string& (*name)(int)) {
  if (!text) return std::nullopt;
  const std::string s = text->toStdString();
  for (int k = 0; k < 24; ++k)
    if (name(k) == s) return s;
  return std::nullopt;
}

// "stem,branch" with stem 1..10 and branch 1..12.
std::optional<core::Pillar> PillarOf(const std::optional<QString>& text) {
  if (!text) return std::nullopt;
  const QStringList parts = text->split(QLatin1Char(','));
  if (parts.size() != 2) return std::nullopt;
  const std::optional<int> stem = InRange(parts[0].trimmed(), 1, 10);
  const std::optional<int> branch = InRange(parts[1].trimmed(), 1, 12);
  if (!stem || !branch) return std::nullopt;
  return core::Pillar{*stem, *branch};
}

// Free text of one line without control characters.
std::optional<std::string> OneLine(const std::optional<QString>& text) {
  if (!text || text->isEmpty()) return std::nullopt;
  for (const QChar c : *text)
    if (c.category() == QChar::Other_Control) return std::nullopt;
  return text->toStdString();
}

// The bytes before the first comments marker line: the INI part.
QByteArrayView IniPart(QByteArrayView bytes) {
  const QByteArrayView marker(CommentsMarker);
  LineReader lines(bytes);
  QByteArrayView line;
  qsizetype start = 0;
  while (lines.next(line)) {
    if (line == marker) return bytes.first(start);
    start = lines.position();
  }
  return bytes;
}

}  // namespace

QList<std::pair<QString, QString>> ContextValues(const core::CastContext& c) {
  QList<std::pair<QString, QString>> v;
  v.append({K(MomentKey), U(c.moment)});
  v.append({K(MethodKey), U(std::string(core::MethodKey(c.method)))});
  v.append({K(ZoneKey), c.zoneHours ? QString::number(*c.zoneHours) : QString()});
  v.append({K(CorrectionKey), QString::number(c.correctionHours)});
  v.append({K(LunarYearKey), QString::number(c.yearInCycle)});
  v.append({K(LunarMonthKey), QString::number(c.month)});
  v.append({K(LeapMonthKey), c.leapMonth ? QStringLiteral("1") : QStringLiteral("0")});
  v.append({K(LunarDayKey), QString::number(c.day)});
  v.append({K(DoubleHourKey), QString::number(c.doubleHour)});
  for (int i = 0; i < 4; ++i)
    v.append(
        {K(PillarKeys[i]),
         QStringLiteral("%1,%2").arg(c.pillars[std::size_t(i)].stem).arg(c.pillars[std::size_t(i)].branch)});
  v.append({K(TermKey), U(c.term)});
  v.append({K(SeasonKey), U(c.season)});
  v.append({K(BoundaryKey), U(c.boundary)});
  return v;
}

std::optional<core::CastContext> DecodeContext(QByteArrayView bytes) {
  QStringList keys{K(MomentKey),     K(MethodKey),     K(ZoneKey),      K(CorrectionKey),
                   K(LunarYearKey),  K(LunarMonthKey), K(LeapMonthKey), K(LunarDayKey),
                   K(DoubleHourKey), K(TermKey),       K(SeasonKey),    K(BoundaryKey)};
  for (const char* k : PillarKeys) keys.append(K(k));
  const IniFile ini(IniPart(bytes), {{kContext, keys}});
  auto value = [&ini](const char* key) { return ini.value(kContext, K(key)); };

  core::CastContext c;
  bool any = false;
  auto take = [&any](auto&& parsed, auto& field) {
    if (!parsed) return;
    field = *parsed;
    any = true;
  };
  take(Moment(value(MomentKey)), c.moment);
  if (const std::optional<QString> m = value(MethodKey)) {
    c.method = core::MethodOfKey(m->toStdString());
    any = any || c.method != core::CastMethod::None;
  }
  if (const std::optional<QString> zone = value(ZoneKey)) {
    // Empty: the cast counted with no zone (a zone that fails reads so too).
    if (const std::optional<int> hours = InRange(zone, -12, 13)) c.zoneHours = *hours;
    any = any || zone->isEmpty() || c.zoneHours;
  }
  take(InRange(value(CorrectionKey), -12, 12), c.correctionHours);
  take(InRange(value(LunarYearKey), 1, 60), c.yearInCycle);
  take(InRange(value(LunarMonthKey), 1, 12), c.month);
  if (const std::optional<int> leap = InRange(value(LeapMonthKey), 0, 1)) c.leapMonth = *leap == 1;
  take(InRange(value(LunarDayKey), 1, 30), c.day);
  take(InRange(value(DoubleHourKey), 0, 11), c.doubleHour);
  for (int i = 0; i < 4; ++i) take(PillarOf(value(PillarKeys[i])), c.pillars[std::size_t(i)]);
  take(KnownName(value(TermKey), &calendar::TermName), c.term);
  take(KnownName(value(SeasonKey), &calendar::SeasonName), c.season);
  take(OneLine(value(BoundaryKey)), c.boundary);
  if (!any) return std::nullopt;
  return c;
}

}  // namespace records
