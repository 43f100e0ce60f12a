#include "cli/tsv.h"

#include "core/celltext.h"

namespace cli {

namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xc0 | (c >> 6));
    out += char(0x80 | (c & 0x3f));
  } else if (c < 0x10000) {
    out += char(0xe0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3f));
    out += char(0x80 | (c & 0x3f));
  } else {
    out += char(0xf0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3f));
    out += char(0x80 | ((c >> 6) & 0x3f));
    out += char(0x80 | (c & 0x3f));
  }
}

// The character at `i` and its length in bytes; length 0 for a byte that
// does not begin a well-formed UTF-8 sequence (overlong forms and
// surrogates included).
std::pair<char32_t, std::size_t> Decode(std::string_view s, std::size_t i) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
  const unsigned char lead = b(0);
  if (lead < 0x80) return {lead, 1};
  std::size_t n = 0;
  char32_t c = 0, least = 0;
  if (lead >= 0xc2 && lead <= 0xdf)
    n = 2, c = lead & 0x1f, least = 0x80;
  else if (lead >= 0xe0 && lead <= 0xef)
    n = 3, c = lead & 0x0f, least = 0x800;
  else if (lead >= 0xf0 && lead <= 0xf4)
    n = 4, c = lead & 0x07, least = 0x10000;
  else
    return {0, 0};
  if (i + n > s.size()) return {0, 0};
  for (std::size_t k = 1; k < n; ++k) {
    if ((b(k) & 0xc0) != 0x80) return {0, 0};
    c = (c << 6) | (b(k) & 0x3f);
  }
  if (c < least || c > 0x10ffff || (c >= 0xd800 && c <= 0xdfff)) return {0, 0};
  return {c, n};
}

}  // namespace

std::string TsvCell(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (std::size_t i = 0; i < value.size();) {
    const auto [c, length] = Decode(value, i);
    if (length == 0) {
      AppendUtf8(out, U'\uFFFD');
      ++i;
      continue;
    }
    if (core::BreaksCell(c))
      AppendUtf8(out, core::CellReplacement);
    else
      out.append(value.substr(i, length));
    i += length;
  }
  return out;
}

}  // namespace cli
