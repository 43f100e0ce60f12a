// The INI part of a record file.
#include "records/inifile.h"

#include <algorithm>

#include "core/messages.h"
#include "records/cp1251.h"
#include "records/record.h"

namespace records {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

QByteArrayView Trimmed(QByteArrayView s) {
  qsizetype b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.sliced(b, e - b);
}

QString Folded(QByteArrayView name) { return DecodeWindows1251(name).toCaseFolded(); }

}  // namespace

QList<QByteArrayView> SplitLines(QByteArrayView text) {
  QList<QByteArrayView> lines;
  qsizetype start = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') continue;
    lines.append(text.sliced(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.append(text.sliced(start));
  return lines;
}

std::optional<int> ParseIniInteger(QStringView text) {
  qsizetype i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  int base = 10;
  if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return std::nullopt;
  // Accumulate the magnitude; int's lowest value has one more than its highest.
  const long long limit = negative ? 2147483648LL : 2147483647LL;
  long long magnitude = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    int digit;
    if (c >= u'0' && c <= u'9')
      digit = c - u'0';
    else if (base == 16 && c >= u'a' && c <= u'f')
      digit = c - u'a' + 10;
    else if (base == 16 && c >= u'A' && c <= u'F')
      digit = c - u'A' + 10;
    else
      return std::nullopt;
    magnitude = magnitude * base + digit;
    if (magnitude > limit) return std::nullopt;
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}

IniFile::IniFile(QByteArrayView bytes) {
  Keys* current = nullptr;  // null: before any section, or in a repeated one
  for (QByteArrayView raw : SplitLines(bytes)) {
    const QByteArrayView line = Trimmed(raw);
    if (line.isEmpty()) continue;
    if (line.front() == '[') {
      QByteArrayView name = line.sliced(1);
      const qsizetype close = name.indexOf(']');
      if (close >= 0) name = name.first(close);
      const QString folded = Folded(Trimmed(name));
      current = sections_.contains(folded) ? nullptr : &sections_[folded];
      continue;
    }
    if (!current) continue;
    const qsizetype eq = line.indexOf('=');
    if (eq < 0) continue;
    const QString key = Folded(Trimmed(line.first(eq)));
    if (current->contains(key)) continue;
    // Cut, then trimmed again: a cut value never ends in a blank either.
    QByteArrayView v = Trimmed(line.sliced(eq + 1));
    if (v.size() > MaxIniValueLength) v = Trimmed(v.first(MaxIniValueLength));
    current->insert(key, v.toByteArray());
  }
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const {
  const auto s = sections_.constFind(section.toCaseFolded());
  if (s == sections_.cend()) return std::nullopt;
  const auto k = s->constFind(key.toCaseFolded());
  if (k == s->cend()) return std::nullopt;
  return DecodeWindows1251(*k);
}

QString IniFile::readString(const QString& section, const QString& key, const QString& defaultValue) const {
  return value(section, key).value_or(defaultValue);
}

int IniFile::readInteger(const QString& section, const QString& key, int defaultValue) const {
  const std::optional<QString> text = value(section, key);
  if (!text) return defaultValue;
  const std::optional<int> n = ParseIniInteger(*text);
  if (!n) throw RecordError(QString::fromStdString(core::NotAnIntegerText(text->toStdString())));
  return *n;
}

bool IniFile::readBool(const QString& section, const QString& key, bool defaultValue) const {
  const std::optional<QString> text = value(section, key);
  if (!text) return defaultValue;
  const std::optional<int> n = ParseIniInteger(*text);
  return n ? *n != 0 : defaultValue;
}

void IniWriter::writeString(const QString& section, const QString& key, const QString& value) {
  auto s = std::find_if(sections_.begin(), sections_.end(),
                        [&](const Section& x) { return x.name.compare(section, Qt::CaseInsensitive) == 0; });
  if (s == sections_.end()) {
    sections_.append({section, {}});
    s = sections_.end() - 1;
  }
  for (auto& [k, v] : s->keys)
    if (k.compare(key, Qt::CaseInsensitive) == 0) {
      v = value;
      return;
    }
  s->keys.append({key, value});
}

QStringList IniWriter::lines() const {
  QStringList out;
  for (const Section& s : sections_) {
    out.append(QLatin1Char('[') + s.name + QLatin1Char(']'));
    for (const auto& [k, v] : s.keys) out.append(k + QLatin1Char('=') + v);
  }
  return out;
}

}  // namespace records
