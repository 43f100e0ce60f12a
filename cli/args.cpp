#include "cli/args.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "calendar/civil.h"

namespace cli {
namespace {

std::string Quoted(const std::string& s) {
  return "«" + s + "»";
}

bool AllDigits(const std::string& s, std::size_t from, std::size_t count) {
  if (from + count > s.size()) return false;
  for (std::size_t i = from; i < from + count; ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

int Digits(const std::string& s, std::size_t from, std::size_t count) {
  int v = 0;
  for (std::size_t i = from; i < from + count; ++i) v = v * 10 + (s[i] - '0');
  return v;
}

}  // namespace

std::optional<std::string> ParsedArgs::Value(const std::string& name) const {
  const auto it = values.find(name);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

ParsedArgs ParseArgs(const std::string& command, const std::vector<std::string>& args, std::size_t first,
                     const std::set<std::string>& valued, const std::set<std::string>& flags) {
  ParsedArgs parsed;
  for (std::size_t i = first; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() < 3 || a.compare(0, 2, "--") != 0) {
      parsed.positional.push_back(a);
      continue;
    }
    const std::size_t eq = a.find('=');
    const std::string name = a.substr(0, eq);
    if (valued.count(name)) {
      std::string value;
      if (eq != std::string::npos) {
        value = a.substr(eq + 1);
      } else {
        if (i + 1 >= args.size()) throw UsageError("после " + name + " нужно значение");
        value = args[++i];
      }
      if (parsed.values.count(name)) throw UsageError(name + " указан дважды");
      parsed.values[name] = value;
    } else if (flags.count(name) && eq == std::string::npos) {
      if (!parsed.flags.insert(name).second) throw UsageError(name + " указан дважды");
    } else {
      throw UsageError("команда " + command + " не знает параметра " + Quoted(a));
    }
  }
  return parsed;
}

int ParseInt(const std::string& text, int min, int max, const std::string& what) {
  std::size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
  const bool digits = i < text.size() && text.size() - i <= 9 && AllDigits(text, i, text.size() - i);
  const long v = digits ? std::strtol(text.c_str(), nullptr, 10) : 0;
  if (!digits || v < min || v > max)
    throw UsageError(what + ": нужно целое число от " + std::to_string(min) + " до " + std::to_string(max) +
                     ", а не " + Quoted(text));
  return static_cast<int>(v);
}

astro::TDateTime ParseDate(const std::string& text) {
  const bool shape = text.size() == 10 && AllDigits(text, 0, 4) && text[4] == '-' && AllDigits(text, 5, 2) &&
                     text[7] == '-' && AllDigits(text, 8, 2);
  const int y = shape ? Digits(text, 0, 4) : 0, m = shape ? Digits(text, 5, 2) : 0,
            d = shape ? Digits(text, 8, 2) : 0;
  if (!shape || !calendar::IsValidCivilDate(y, m, d))
    throw UsageError("неверная дата " + Quoted(text) + ": нужна дата ГГГГ-ММ-ДД с годом от 0001 до 9999");
  return calendar::EncodeCivilDate(y, m, d);
}

astro::TDateTime ParseTime(const std::string& text) {
  const bool hm = text.size() == 5 && AllDigits(text, 0, 2) && text[2] == ':' && AllDigits(text, 3, 2);
  const bool hms = text.size() == 8 && AllDigits(text, 0, 2) && text[2] == ':' && AllDigits(text, 3, 2) &&
                   text[5] == ':' && AllDigits(text, 6, 2);
  const int h = hm || hms ? Digits(text, 0, 2) : 0, mi = hm || hms ? Digits(text, 3, 2) : 0,
            s = hms ? Digits(text, 6, 2) : 0;
  if (!(hm || hms) || h > 23 || mi > 59 || s > 59)
    throw UsageError("неверное время " + Quoted(text) + ": нужно ЧЧ:ММ или ЧЧ:ММ:СС от 00:00 до 23:59:59");
  return ((h * 60.0 + mi) * 60.0 + s) / 86400.0;
}

double ParseReal(const std::string& text, const std::string& what) {
  char* end = nullptr;
  errno = 0;
  const double v = text.empty() ? 0 : std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(v) ||
      text.find_first_not_of("0123456789+-.eE") != std::string::npos)
    throw UsageError(what + ": нужно конечное число, а не " + Quoted(text));
  return v;
}

}  // namespace cli
