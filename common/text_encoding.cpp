#include "common/text_encoding.h"

namespace tessel {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";

// Windows-1252 characters 0x80..0x9F; the five unused codes map to the C1 controls, as
// the system's own conversion does.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

class Windows1252CodePage : public AnsiCodePage {
 public:
  std::u16string ToUtf16(std::string_view ansi) const override {
    std::u16string text;
    text.reserve(ansi.size());
    for (const char c : ansi) {
      const auto byte = static_cast<unsigned char>(c);
      text += byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : static_cast<char16_t>(byte);
    }
    return text;
  }
  bool FromUtf16(std::u16string_view utf16, std::string& ansi) const override {
    ansi.clear();
    bool exact = true;
    for (const char16_t c : utf16) {
      int byte = -1;
      if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) byte = c;
      for (int i = 0; i < 32 && byte < 0; ++i)
        if (kWindows1252High[i] == c) byte = 0x80 + i;
      if (byte < 0) {
        exact = false;
        byte = '?';
      }
      ansi += static_cast<char>(byte);
    }
    return exact;
  }
};

const AnsiCodePage* processCodePage = nullptr;

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The code point of the valid sequence at text[at] of length `length`.
char32_t DecodeSequence(std::string_view text, size_t at, size_t length) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[at + i]); };
  switch (length) {
    case 1: return byte(0);
    case 2: return (byte(0) & 0x1Fu) << 6 | (byte(1) & 0x3Fu);
    case 3: return (byte(0) & 0x0Fu) << 12 | (byte(1) & 0x3Fu) << 6 | (byte(2) & 0x3Fu);
    default:
      return (byte(0) & 0x07u) << 18 | (byte(1) & 0x3Fu) << 12 | (byte(2) & 0x3Fu) << 6 |
             (byte(3) & 0x3Fu);
  }
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

}  // namespace

size_t Utf8SequenceLength(std::string_view text, size_t at) {
  if (at >= text.size()) return 0;
  const auto first = static_cast<unsigned char>(text[at]);
  size_t length = 0;
  char32_t minimum = 0;
  if (first < 0x80) return 1;
  if (first >= 0xC2 && first <= 0xDF) {
    length = 2, minimum = 0x80;
  } else if (first >= 0xE0 && first <= 0xEF) {
    length = 3, minimum = 0x800;
  } else if (first >= 0xF0 && first <= 0xF4) {
    length = 4, minimum = 0x10000;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  for (size_t i = 1; i < length; ++i)
    if (!IsContinuation(static_cast<unsigned char>(text[at + i]))) return 0;
  const char32_t c = DecodeSequence(text, at, length);
  if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return length;
}

bool IsValidUtf8(std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    const size_t length = Utf8SequenceLength(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

size_t Utf8Length(std::string_view text) {
  size_t count = 0;
  for (size_t at = 0; at < text.size(); ++count) {
    const size_t length = Utf8SequenceLength(text, at);
    at += length ? length : 1;
  }
  return count;
}

std::string_view Utf8Prefix(std::string_view text, size_t count) {
  size_t at = 0;
  for (; at < text.size() && count > 0; --count) {
    const size_t length = Utf8SequenceLength(text, at);
    at += length ? length : 1;
  }
  return text.substr(0, at);
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string text;
  text.reserve(utf8.size());
  for (size_t at = 0; at < utf8.size();) {
    const size_t length = Utf8SequenceLength(utf8, at);
    if (length == 0) {
      text += static_cast<char16_t>(kReplacementCharacter);
      ++at;
      continue;
    }
    AppendUtf16(text, DecodeSequence(utf8, at, length));
    at += length;
  }
  return text;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string text;
  text.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = utf16[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacementCharacter;
    }
    AppendUtf8(text, c);
  }
  return text;
}

const AnsiCodePage& Windows1252() {
  static const Windows1252CodePage codePage;
  return codePage;
}

const AnsiCodePage& ProcessAnsiCodePage() {
  return processCodePage ? *processCodePage : SystemAnsiCodePage();
}

void SetProcessAnsiCodePage(const AnsiCodePage* codePage) { processCodePage = codePage; }

std::string AnsiToUtf8(std::string_view ansi, const AnsiCodePage& codePage) {
  return Utf16ToUtf8(codePage.ToUtf16(ansi));
}

bool Utf8ToAnsi(std::string_view utf8, std::string& ansi, const AnsiCodePage& codePage) {
  return codePage.FromUtf16(Utf8ToUtf16(utf8), ansi);
}

FileEncoding DetectEncoding(std::string_view bytes) {
  if (bytes.substr(0, 2) == kUtf16LeMark) return FileEncoding::Utf16Le;
  if (bytes.substr(0, 3) == kUtf8Mark) return FileEncoding::Utf8Bom;
  bool multiByte = false;
  for (size_t at = 0; at < bytes.size();) {
    const size_t length = Utf8SequenceLength(bytes, at);
    if (length == 0) return FileEncoding::Ansi;
    multiByte = multiByte || length > 1;
    at += length;
  }
  return multiByte ? FileEncoding::Utf8 : FileEncoding::Ansi;
}

std::string DecodeFile(std::string_view bytes, FileEncoding encoding, const AnsiCodePage& codePage) {
  switch (encoding) {
    case FileEncoding::Utf16Le: {
      bytes.remove_prefix(kUtf16LeMark.size());
      std::u16string units(bytes.size() / 2, u'\0');
      for (size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
      return Utf16ToUtf8(units);
    }
    case FileEncoding::Utf8Bom:
    case FileEncoding::Utf8: {
      if (encoding == FileEncoding::Utf8Bom) bytes.remove_prefix(kUtf8Mark.size());
      if (IsValidUtf8(bytes)) return std::string(bytes);
      // A file an ANSI editor has added to: its stray bytes are ANSI characters.
      std::string text;
      text.reserve(bytes.size());
      for (size_t at = 0; at < bytes.size();) {
        const size_t length = Utf8SequenceLength(bytes, at);
        if (length == 0) {
          text += AnsiToUtf8(bytes.substr(at, 1), codePage);
          ++at;
        } else {
          text.append(bytes.substr(at, length));
          at += length;
        }
      }
      return text;
    }
    case FileEncoding::Ansi:
      break;
  }
  return AnsiToUtf8(bytes, codePage);
}

bool EncodeFile(std::string_view utf8, FileEncoding encoding, std::string& bytes,
                const AnsiCodePage& codePage) {
  switch (encoding) {
    case FileEncoding::Utf16Le: {
      const std::u16string units = Utf8ToUtf16(utf8);
      bytes.assign(kUtf16LeMark);
      bytes.reserve(2 + 2 * units.size());
      for (const char16_t unit : units) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
      }
      return true;
    }
    case FileEncoding::Utf8Bom:
      bytes.assign(kUtf8Mark);
      bytes.append(utf8);
      return true;
    case FileEncoding::Utf8:
      bytes.assign(utf8);
      return true;
    case FileEncoding::Ansi:
      break;
  }
  return Utf8ToAnsi(utf8, bytes, codePage);
}

}  // namespace tessel
