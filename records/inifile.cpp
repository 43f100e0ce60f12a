// The INI part of a record file.
#include "records/inifile.h"

#include <algorithm>
#include <cctype>

#include "core/messages.h"
#include "records/cp1251.h"
#include "records/record.h"

namespace records {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

QByteArrayView Trimmed(QByteArrayView s) {
  qsizetype b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.sliced(b, e - b);
}

QString Folded(QByteArrayView name) {
  return DecodeWindows1251(name).toCaseFolded();
}

}  // namespace

bool LineReader::next(QByteArrayView& line) {
  const qsizetype size = text_.size();
  if (position_ >= size) return false;
  const char* begin = text_.data() + position_;
  const char* end = text_.data() + size;
  const char* p = begin;
  while (p != end && *p != '\r' && *p != '\n') ++p;
  line = QByteArrayView(begin, p - begin);
  if (p != end && *p == '\r' && p + 1 != end && p[1] == '\n') ++p;
  position_ = p == end ? size : (p - text_.data()) + 1;
  return true;
}

QList<QByteArrayView> SplitLines(QByteArrayView text) {
  QList<QByteArrayView> lines;
  LineReader reader(text);
  QByteArrayView line;
  while (reader.next(line)) lines.append(line);
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

namespace {

// Index of the name among folded names, or -1. Folding keeps the length of
// every Windows-1251 character, so only a name of the same length is
// decoded and folded at all: the lines of a hostile file cost no allocation.
// An ASCII name is compared in place (folding an ASCII letter is making it
// small).
qsizetype IndexOfName(const QStringList& folded, QByteArrayView name) {
  const bool ascii = std::all_of(name.begin(), name.end(), [](char c) { return uchar(c) < 0x80; });
  QString candidate;
  bool decoded = false;
  for (qsizetype i = 0; i < folded.size(); ++i) {
    if (folded[i].size() != name.size()) continue;
    if (ascii) {
      const QChar* f = folded[i].constData();
      qsizetype k = 0;
      while (k < name.size() && f[k] == QLatin1Char(char(std::tolower(uchar(name[k]))))) ++k;
      if (k == name.size()) return i;
      continue;
    }
    if (!decoded) candidate = Folded(name), decoded = true;
    if (candidate == folded[i]) return i;
  }
  return -1;
}

}  // namespace

IniFile::IniFile(QByteArrayView bytes, const QList<IniSection>& wanted) {
  QStringList names;
  for (const IniSection& w : wanted) {
    Section s;
    s.name = w.name.toCaseFolded();
    for (const QString& k : w.keys) s.keys.append(k.toCaseFolded());
    s.values.resize(s.keys.size());
    s.wantedName = w.name;
    s.sameName = names.indexOf(s.name);
    if (s.sameName < 0) s.sameName = sections_.size();
    s.wantedKeys = w.keys;
    for (const QString& k : s.keys) s.sameKey.append(s.keys.indexOf(k));
    sections_.append(s);
    names.append(s.name);
  }
  QList<bool> seen(sections_.size(), false);
  qsizetype unread = sections_.size();  // wanted sections not yet read to their end
  Section* current = nullptr;           // the first occurrence of a wanted section
  qsizetype missing = 0;                // its keys not found yet

  LineReader lines(bytes);
  QByteArrayView raw;
  while (unread > 0 && lines.next(raw)) {
    const QByteArrayView line = Trimmed(raw);
    if (line.isEmpty()) continue;
    if (line.front() == '[') {
      if (current) --unread;  // its first occurrence has ended
      current = nullptr;
      QByteArrayView name = line.sliced(1);
      const qsizetype close = name.indexOf(']');
      if (close >= 0) name = name.first(close);
      const qsizetype i = IndexOfName(names, Trimmed(name));
      if (i >= 0 && !seen[i]) {
        seen[i] = true;
        current = &sections_[i];
        missing = current->keys.size();
        if (missing == 0) {
          current = nullptr;
          --unread;
        }
      }
      continue;
    }
    if (!current) continue;
    const qsizetype eq = line.indexOf('=');
    if (eq < 0) continue;
    const qsizetype k = IndexOfName(current->keys, Trimmed(line.first(eq)));
    if (k < 0 || current->values[k]) continue;
    // Cut, then trimmed again: a cut value never ends in a blank either.
    QByteArrayView v = Trimmed(line.sliced(eq + 1));
    if (v.size() > MaxIniValueLength) v = Trimmed(v.first(MaxIniValueLength));
    current->values[k] = v.toByteArray();
    if (--missing == 0) {  // nothing more to find in it
      current = nullptr;
      --unread;
    }
  }
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const {
  // The first section whose name folds as `section` does; asked with the
  // wanted text itself (the usual case), no folding is needed to find it.
  const Section* x = nullptr;
  for (const Section& c : sections_)
    if (c.wantedName == section) {
      x = &sections_[c.sameName];
      break;
    }
  if (!x) {
    const QString s = section.toCaseFolded();
    for (const Section& c : sections_)
      if (c.name == s) {
        x = &c;
        break;
      }
  }
  if (!x) return std::nullopt;
  qsizetype i = x->wantedKeys.indexOf(key);
  i = i >= 0 ? x->sameKey[i] : x->keys.indexOf(key.toCaseFolded());
  if (i < 0 || !x->values[i]) return std::nullopt;
  return DecodeWindows1251(*x->values[i]);
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
