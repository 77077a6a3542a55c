// Text inside the program is UTF-8. This converts between UTF-8 and UTF-16, and between
// the bytes of a settings or map file and UTF-8: files come as UTF-16LE or UTF-8 with a
// byte-order mark, as UTF-8 without one, or in the ANSI code page of the system.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tessel {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// UTF-8 <-> UTF-16. Invalid UTF-8 bytes and unpaired surrogates become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
void AppendUtf8(std::string& out, char32_t codePoint);

// Length of a valid UTF-8 sequence starting at text[at], 0 when there is none there.
size_t Utf8SequenceLength(std::string_view text, size_t at);
bool IsValidUtf8(std::string_view text);
// Characters (code points) of a UTF-8 text; an invalid byte counts as one.
size_t Utf8Length(std::string_view text);
// The first count characters of a UTF-8 text.
std::string_view Utf8Prefix(std::string_view text, size_t count);

// The system's ANSI code page: the Win32 layer converts with MultiByteToWideChar and
// WideCharToMultiByte; native builds and tests use Windows-1252.
class AnsiCodePage {
 public:
  virtual ~AnsiCodePage() = default;
  virtual std::u16string ToUtf16(std::string_view ansi) const = 0;
  // False when a character has no exact counterpart in the code page ("?" stands in).
  virtual bool FromUtf16(std::u16string_view utf16, std::string& ansi) const = 0;
};

// The system's code page (Windows-1252 in native builds), and the one that conversions of
// the process use: the system's unless a test sets another.
const AnsiCodePage& SystemAnsiCodePage();
const AnsiCodePage& ProcessAnsiCodePage();
void SetProcessAnsiCodePage(const AnsiCodePage* codePage);
// Windows-1252, in portable code.
const AnsiCodePage& Windows1252();

std::string AnsiToUtf8(std::string_view ansi, const AnsiCodePage& codePage = ProcessAnsiCodePage());
// False when text holds a character the code page cannot spell.
bool Utf8ToAnsi(std::string_view utf8, std::string& ansi,
                const AnsiCodePage& codePage = ProcessAnsiCodePage());

enum class FileEncoding {
  Ansi,     // the ANSI code page (also any file that is neither of the others)
  Utf8,     // valid UTF-8 with at least one multi-byte sequence, without a byte-order mark
  Utf8Bom,  // EF BB BF
  Utf16Le,  // FF FE
};

FileEncoding DetectEncoding(std::string_view bytes);
// The file's text as UTF-8, without its byte-order mark. Invalid UTF-8 after a UTF-8 mark
// is read byte by byte in the ANSI code page; a last odd byte of UTF-16 is left out.
std::string DecodeFile(std::string_view bytes, FileEncoding encoding,
                       const AnsiCodePage& codePage = ProcessAnsiCodePage());
// The bytes of a file in that encoding, with its byte-order mark. False for an ANSI file
// whose text the code page cannot spell (bytes then holds "?" for those characters).
bool EncodeFile(std::string_view utf8, FileEncoding encoding, std::string& bytes,
                const AnsiCodePage& codePage = ProcessAnsiCodePage());

}  // namespace tessel
