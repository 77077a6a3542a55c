// File bytes -> encoding detection and decoding -> the settings file's reads and one write.
// The decoded text is always valid UTF-8; a write keeps the file's encoding (or makes it
// UTF-8 with a mark), reads back the value written and leaves every other section's
// entries as they were.
#include "common/settings_file.h"
#include "tests/unit/fake_file_system.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

using namespace tessel;

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 256 * 1024) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const FileEncoding encoding = DetectEncoding(bytes);
  const std::string text = DecodeFile(bytes, encoding, Windows1252());
  Check(IsValidUtf8(text));

  testing::FakeFileSystem files;
  files.files["F.INI"] = bytes;
  SettingsFile settings("F.INI", files, Windows1252());
  Check(settings.Encoding() == encoding);
  const std::vector<std::string> names = {"TESSEL32", "MAPS", "Selectors", "A", ""};
  std::vector<std::vector<ProfileEntry>> before;
  for (const std::string& name : names) {
    before.push_back(settings.ReadSection(name));
    for (const std::string& key : settings.ReadKeys(name)) Check(IsValidUtf8(settings.ReadString(name, key, "")));
  }

  // Greek: not in the ANSI code page.
  const std::string value = size % 2 ? "plain" : "\xce\xb1\xce\xb2";
  settings.WriteString("Fuzz", "Key", value);
  Check(settings.ReadString("Fuzz", "Key", "-") == value);
  const std::string& written = files.files["F.INI"];
  const FileEncoding after = DetectEncoding(written);
  const bool ascii = std::all_of(written.begin(), written.end(), [](char c) { return (c & 0x80) == 0; });
  // The encoding stays, or the file becomes UTF-8 with a mark: an ANSI file that cannot hold
  // the value, or whose rewritten bytes would read as another encoding. A UTF-8 file whose
  // every character beyond ASCII went with a line cut at a NUL byte reads the same as ASCII.
  if (encoding == FileEncoding::Ansi)
    Check(after == FileEncoding::Utf8Bom || (value == "plain" && after == FileEncoding::Ansi));
  else if (encoding == FileEncoding::Utf8)
    Check(after == encoding || after == FileEncoding::Utf8Bom || ascii);
  else
    Check(after == encoding);
  for (size_t i = 0; i < names.size(); ++i) Check(settings.ReadSection(names[i]) == before[i]);
  return 0;
}
