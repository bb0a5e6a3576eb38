// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/utf8.h"

namespace zielwerk {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one well-formed sequence at `at`; returns its length, or 0 when the
// bytes there are not well-formed UTF-8.
size_t DecodeOne(std::string_view s, size_t at, char32_t& out) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) {
    out = lead;
    return 1;
  }
  size_t length;
  char32_t value;
  char32_t minimum;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (at + length > s.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    const unsigned char next = byte(at + i);
    if ((next & 0xC0) != 0x80) return 0;
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  out = value;
  return length;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  char32_t ignored;
  for (size_t at = 0; at < bytes.size();) {
    const size_t length = DecodeOne(bytes, at, ignored);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (unsigned char c : bytes) AppendUtf8(out, c);
  return out;
}

std::string Utf8OrLatin1(std::string_view bytes) {
  return IsValidUtf8(bytes) ? std::string(bytes) : Latin1ToUtf8(bytes);
}

std::optional<std::string> Utf16ToUtf8(std::string_view bytes, bool big_endian) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  const auto unit = [&](size_t at) -> char32_t {
    const auto first = static_cast<char32_t>(static_cast<unsigned char>(bytes[at]));
    const auto second = static_cast<char32_t>(static_cast<unsigned char>(bytes[at + 1]));
    return big_endian ? (first << 8 | second) : (second << 8 | first);
  };
  std::string out;
  out.reserve(bytes.size());
  for (size_t at = 0; at < bytes.size(); at += 2) {
    char32_t c = unit(at);
    if (c >= 0xDC00 && c <= 0xDFFF) return std::nullopt;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (at + 2 >= bytes.size()) return std::nullopt;
      const char32_t low = unit(at + 2);
      if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
      c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      at += 2;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::string SanitizeUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  char32_t c;
  for (size_t at = 0; at < bytes.size();) {
    const size_t length = DecodeOne(bytes, at, c);
    if (length == 0) {
      AppendUtf8(out, kReplacement);
      ++at;
    } else {
      out.append(bytes.substr(at, length));
      at += length;
    }
  }
  return out;
}

size_t Utf16Length(std::string_view utf8) {
  size_t units = 0;
  char32_t c;
  for (size_t at = 0; at < utf8.size();) {
    const size_t length = DecodeOne(utf8, at, c);
    if (length == 0) {
      ++units;
      ++at;
      continue;
    }
    units += c >= 0x10000 ? 2 : 1;
    at += length;
  }
  return units;
}

std::string Utf16Substring(std::string_view utf8, size_t first, size_t count) {
  std::string out;
  const size_t end = first + count;
  size_t unit = 0;
  char32_t c;
  for (size_t at = 0; at < utf8.size() && unit < end;) {
    size_t length = DecodeOne(utf8, at, c);
    const bool valid = length != 0;
    if (!valid) {
      c = kReplacement;
      length = 1;
    }
    const size_t units = c >= 0x10000 ? 2 : 1;
    if (unit >= first && unit + units <= end) {
      if (valid) {
        out.append(utf8.substr(at, length));
      } else {
        AppendUtf8(out, kReplacement);
      }
    } else if (unit + units > first) {
      // Only one half of a surrogate pair lies inside the window.
      AppendUtf8(out, kReplacement);
    }
    unit += units;
    at += length;
  }
  return out;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace zielwerk
