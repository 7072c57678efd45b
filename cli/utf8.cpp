// UTF-8 conversion by hand: the C runtimes' own converters follow the locale and differ.
#include "cli/utf8.h"

#include <cstdint>

namespace {

constexpr char32_t replacement = 0xFFFD;

bool is_surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

void append_code_point(std::wstring& out, char32_t c) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(c));
}

// Calls put(byte) for each byte of c in UTF-8.
template <class Put>
void put_utf8(char32_t c, Put put) {
  if (c < 0x80) {
    put(static_cast<char>(c));
  } else if (c < 0x800) {
    put(static_cast<char>(0xC0 | (c >> 6)));
    put(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    put(static_cast<char>(0xE0 | (c >> 12)));
    put(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    put(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    put(static_cast<char>(0xF0 | (c >> 18)));
    put(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    put(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    put(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Calls put(byte) for each byte of text in UTF-8; what is no code point becomes U+FFFD.
template <class Put>
void put_text(std::wstring_view text, Put put) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char32_t>(static_cast<std::uint32_t>(text[i]));
    if constexpr (sizeof(wchar_t) == 2) {
      c &= 0xFFFF;
      const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
                        text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
      if (pair) {
        c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00);
        ++i;
      }
    }
    if (c > 0x10FFFF || is_surrogate(c)) c = replacement;
    put_utf8(c, put);
  }
}

}  // namespace

std::wstring utf8_to_wide(std::string_view bytes, bool& ok) {
  ok = false;
  std::wstring out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      out.push_back(static_cast<wchar_t>(lead));
      ++i;
      continue;
    }
    // The lead byte gives the length; below `smallest` the sequence is an overlong form.
    std::size_t extra = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
      extra = 1;
      smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
      smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3;
      smallest = 0x10000;
    } else {
      return {};  // a continuation byte without a lead, or 0xF8..0xFF
    }
    char32_t c = lead & (0x3F >> extra);
    if (bytes.size() - i <= extra) return {};
    for (std::size_t k = 1; k <= extra; ++k) {
      const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return {};
      c = (c << 6) | (next & 0x3F);
    }
    if (c < smallest || c > 0x10FFFF || is_surrogate(c)) return {};
    append_code_point(out, c);
    i += extra + 1;
  }
  ok = true;
  return out;
}

std::string wide_to_utf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  put_text(text, [&out](char byte) { out.push_back(byte); });
  return out;
}

void write_utf8(std::FILE* out, std::wstring_view text) {
  char buffer[512];
  std::size_t used = 0;
  put_text(text, [&](char byte) {
    buffer[used++] = byte;
    if (used == sizeof buffer) {
      std::fwrite(buffer, 1, used, out);
      used = 0;
    }
  });
  std::fwrite(buffer, 1, used, out);
}
