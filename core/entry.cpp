// A cast entered from its line values or from its hexagram number.
#include "core/entry.h"

#include <algorithm>

#include "core/hexagram.h"

namespace core {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Bytes of the UTF-8 character that starts with `lead` (1 for a byte that
// cannot start one, so that every byte is counted once).
std::size_t CharacterLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

// The characters of a UTF-8 text, each as its bytes.
std::vector<std::string_view> Characters(std::string_view text) {
  std::vector<std::string_view> out;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t n = std::min(CharacterLength(static_cast<unsigned char>(text[i])), text.size() - i);
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
        n = 1;  // a broken sequence: its lead byte alone
        break;
      }
    out.push_back(text.substr(i, n));
    i += n;
  }
  return out;
}

// "Знак" agrees with the number that counts it.
std::string Characters(std::size_t n) {
  const std::size_t last = n % 10, lastTwo = n % 100;
  const char* word = (lastTwo >= 11 && lastTwo <= 14) ? "знаков"
                     : last == 1                      ? "знак"
                     : (last >= 2 && last <= 4)       ? "знака"
                                                      : "знаков";
  return std::to_string(n) + " " + word;
}

// What a character is shown as in a message: itself, or its code when it
// is a control character or a byte that is not UTF-8.
std::string Shown(std::string_view ch) {
  const auto c = static_cast<unsigned char>(ch[0]);
  if (ch.size() == 1 && (c < 0x20 || c >= 0x7F)) {
    static const char* digits = "0123456789ABCDEF";
    return std::string("байт 0x") + digits[c >> 4] + digits[c & 15];
  }
  return "«" + std::string(ch) + "»";
}

EnteredCodes Failure(std::string text) {
  EnteredCodes e;
  e.error = std::move(text);
  return e;
}

}  // namespace

std::string_view CodeOfLineValue(int value) {
  switch (value) {
    case 6:
      return "988";
    case 7:
      return "588";
    case 8:
      return "548";
    case 9:
      return "544";
    default:
      return {};
  }
}

EnteredCodes CodesOfLineValues(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  const std::vector<std::string_view> chars = Characters(text);
  for (std::size_t i = 0; i < chars.size() && i < 6; ++i) {
    const std::string_view ch = chars[i];
    if (ch.size() != 1 || ch[0] < '6' || ch[0] > '9')
      return Failure("Знак " + std::to_string(i + 1) + " " + Shown(ch) +
                     " — не значение черты: нужны 6, 7, 8 или 9");
  }
  if (chars.size() != 6)
    return Failure("Нужно ровно шесть значений черт (6, 7, 8 или 9), с первой (нижней), а введено " +
                   Characters(chars.size()));
  EnteredCodes e;
  for (std::size_t i = 0; i < 6; ++i) e.codes[i] = CodeOfLineValue(chars[i][0] - '0');
  return e;
}

EnteredCodes CodesOfHexagram(int number, const std::vector<int>& changingLines) {
  if (number < 1 || number > 64)
    return Failure("Номер гуа " + std::to_string(number) + " вне пределов: нужен номер от 1 до 64");
  std::array<bool, 6> changing{};
  for (const int line : changingLines) {
    if (line < 1 || line > 6)
      return Failure("Черта " + std::to_string(line) + " вне пределов: черты нумеруются от 1 (нижняя) до 6");
    if (changing[static_cast<std::size_t>(line - 1)])
      return Failure("Черта " + std::to_string(line) + " названа изменяющейся дважды");
    changing[static_cast<std::size_t>(line - 1)] = true;
  }
  const Figure figure = FigureOfNumber(number);
  EnteredCodes e;
  for (std::size_t i = 0; i < 6; ++i)
    e.codes[i] = CodeOfLineValue(figure[i] ? (changing[i] ? 9 : 7) : (changing[i] ? 6 : 8));
  return e;
}

}  // namespace core
