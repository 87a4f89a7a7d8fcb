#include "platform/text.h"

#include <algorithm>

#include "platform/error.h"

namespace rt {

namespace {

// Length in bytes of the UTF-8 sequence starting at s[i]; a byte that does
// not start a well-formed sequence counts as a character of its own.
size_t SeqLen(std::string_view s, size_t i) {
  const auto b = static_cast<unsigned char>(s[i]);
  size_t n = 1;
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3;
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4;
  }
  if (i + n > s.size()) return 1;
  if (n > 1) {
    // Overlong forms, surrogates and code points past U+10FFFF are malformed.
    const auto c = static_cast<unsigned char>(s[i + 1]);
    if ((b == 0xE0 && c < 0xA0) || (b == 0xED && c > 0x9F) || (b == 0xF0 && c < 0x90) || (b == 0xF4 && c > 0x8F))
      return 1;
  }
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
  return n;
}

// Decodes the character at s[i]; a malformed byte decodes as U+FFFD.
char32_t Decode(std::string_view s, size_t i, size_t n) {
  const auto b = static_cast<unsigned char>(s[i]);
  if (n == 1) return b < 0x80 ? b : 0xFFFD;
  char32_t cp = b & (0xFF >> (n + 1));
  for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  return cp;
}

void Encode(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Byte offset of the character with 0-based index `chars` (or s.size()).
size_t OffsetOf(std::string_view s, int64_t chars) {
  size_t i = 0;
  for (int64_t c = 0; c < chars && i < s.size(); ++c) i += SeqLen(s, i);
  return i;
}

// Case pairs of Latin Extended-A: ranges where upper and lower case
// alternate, the upper case on even (or odd) code points.
bool AlternatingUpperFirst(char32_t cp, bool evenUpper, char32_t lo, char32_t hi) {
  return cp >= lo && cp <= hi && ((cp % 2 == 0) == evenUpper);
}

char32_t ToUpper(char32_t cp) {
  if (cp >= 'a' && cp <= 'z') return cp - 32;
  if (cp < 0xB5) return cp;
  if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 32;
  if (cp == 0xFF) return 0x178;
  if (cp >= 0x100 && cp <= 0x17F) {
    if (cp == 0x131 || cp == 0x138 || cp == 0x149 || cp == 0x17F) return cp;
    if ((cp <= 0x137 || (cp >= 0x14A && cp <= 0x177)) && cp % 2 == 1) return cp - 1;
    if (((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E)) && cp % 2 == 0) return cp - 1;
  }
  return cp;
}

char32_t ToLower(char32_t cp) {
  if (cp >= 'A' && cp <= 'Z') return cp + 32;
  if (cp < 0xC0) return cp;
  if (cp <= 0xDE && cp != 0xD7) return cp + 32;
  if (cp == 0x178) return 0xFF;
  if (cp == 0x130) return cp;
  if (AlternatingUpperFirst(cp, true, 0x100, 0x137) || AlternatingUpperFirst(cp, true, 0x14A, 0x177))
    return cp + 1;
  if (AlternatingUpperFirst(cp, false, 0x139, 0x148) || AlternatingUpperFirst(cp, false, 0x179, 0x17E))
    return cp + 1;
  return cp;
}

template <class F>
std::string MapChars(std::string_view s, F f) {
  // Plain ASCII, nearly all text here, is mapped byte by byte in place; from
  // the first other byte on, character by character.
  std::string out(s);
  size_t i = 0;
  for (; i < out.size(); ++i) {
    const auto b = static_cast<unsigned char>(out[i]);
    if (b >= 0x80) break;
    out[i] = static_cast<char>(f(b));
  }
  if (i == out.size()) return out;
  out.resize(i);
  while (i < s.size()) {
    const size_t n = SeqLen(s, i);
    const auto b = static_cast<unsigned char>(s[i]);
    if (n == 1 && b >= 0x80) {
      out += s[i];  // malformed byte: kept as it is
    } else {
      Encode(f(Decode(s, i, n)), out);
    }
    i += n;
  }
  return out;
}

}  // namespace

int32_t Len(std::string_view s) {
  int32_t n = 0;
  for (size_t i = 0; i < s.size(); i += SeqLen(s, i)) ++n;
  return n;
}

std::string Left(std::string_view s, int32_t n) {
  if (n < 0) RaiseRuntime(errc::InvalidCall);
  return std::string(s.substr(0, OffsetOf(s, n)));
}

std::string Right(std::string_view s, int32_t n) {
  if (n < 0) RaiseRuntime(errc::InvalidCall);
  const int32_t len = Len(s);
  if (n >= len) return std::string(s);
  return std::string(s.substr(OffsetOf(s, len - n)));
}

std::string Mid(std::string_view s, int32_t start, int32_t length) {
  if (start < 1) RaiseRuntime(errc::InvalidCall);
  const size_t from = OffsetOf(s, static_cast<int64_t>(start) - 1);
  std::string_view rest = s.substr(from);
  if (length < 0) return std::string(rest);
  return std::string(rest.substr(0, OffsetOf(rest, length)));
}

namespace {

std::string_view LeftTrimmed(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  return s.substr(i);
}

std::string_view RightTrimmed(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && s[n - 1] == ' ') --n;
  return s.substr(0, n);
}

}  // namespace

std::string LTrim(std::string_view s) { return std::string(LeftTrimmed(s)); }
std::string RTrim(std::string_view s) { return std::string(RightTrimmed(s)); }
std::string_view Trimmed(std::string_view s) { return RightTrimmed(LeftTrimmed(s)); }
std::string Trim(std::string_view s) { return std::string(Trimmed(s)); }

std::string UCase(std::string_view s) { return MapChars(s, ToUpper); }
std::string LCase(std::string_view s) { return MapChars(s, ToLower); }

std::string Replace(std::string_view s, std::string_view what, std::string_view with) {
  if (what.empty()) return std::string(s);
  std::string out;
  size_t i = 0;
  for (;;) {
    const size_t j = s.find(what, i);
    if (j == std::string_view::npos) break;
    out.append(s, i, j - i);
    out.append(with);
    i = j + what.size();
  }
  out.append(s, i, std::string_view::npos);
  return out;
}

std::vector<std::string> Split(std::string_view s, std::string_view separator) {
  std::vector<std::string> parts;
  if (s.empty()) return parts;
  if (separator.empty()) {
    parts.emplace_back(s);
    return parts;
  }
  size_t i = 0;
  for (;;) {
    const size_t j = s.find(separator, i);
    if (j == std::string_view::npos) break;
    parts.emplace_back(s.substr(i, j - i));
    i = j + separator.size();
  }
  parts.emplace_back(s.substr(i));
  return parts;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  // Plain ASCII, the common case of names and keys, is compared in place;
  // text with other letters goes through the full case mapping.
  auto upper = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(a[i]);
    const auto cb = static_cast<unsigned char>(b[i]);
    if (ca >= 0x80 || cb >= 0x80) return UCase(a.substr(i)) == UCase(b.substr(i));
    if (upper(ca) != upper(cb)) return false;
  }
  // The shorter text was all ASCII and matched; case mapping never maps a
  // non-empty rest to nothing.
  return a.size() == b.size();
}

namespace {
// Windows-1252 bytes 0x80..0x9F; 0 marks a byte without a character.
constexpr char16_t k1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
}  // namespace

std::string ToAnsi(std::string_view utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const size_t n = SeqLen(utf8, i);
    const char32_t cp = Decode(utf8, i, n);
    i += n;
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out += static_cast<char>(cp);
      continue;
    }
    char c = '?';
    for (int k = 0; k < 32; ++k)
      if (k1252[k] != 0 && k1252[k] == cp) c = static_cast<char>(0x80 + k);
    out += c;
  }
  return out;
}

std::string FromAnsi(std::string_view ansi) {
  std::string out;
  for (char c : ansi) {
    const auto b = static_cast<unsigned char>(c);
    char32_t cp = b;
    if (b >= 0x80 && b <= 0x9F) cp = k1252[b - 0x80] != 0 ? k1252[b - 0x80] : U'?';
    Encode(cp, out);
  }
  return out;
}

std::u16string ToWide(std::string_view utf8) {
  std::u16string out;
  for (size_t i = 0; i < utf8.size();) {
    const size_t n = SeqLen(utf8, i);
    const char32_t cp = Decode(utf8, i, n);
    i += n;
    if (cp >= 0x10000) {
      const char32_t v = cp - 0x10000;
      out += static_cast<char16_t>(0xD800 + (v >> 10));
      out += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

}  // namespace rt
