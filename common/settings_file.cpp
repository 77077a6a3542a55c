#include "common/settings_file.h"

namespace tessel {
namespace {

struct DecodedFile {
  SettingsFileSystem::ReadResult result = SettingsFileSystem::ReadResult::Missing;
  std::string bytes;
  FileEncoding encoding = FileEncoding::Ansi;
  std::string text;
};

// Whether a read of bytes, written in encoding, decodes them in that encoding. An ANSI text
// may look like UTF-8 or begin like a mark once the rewrite has dropped what told it apart
// (a line cut at a NUL byte); a UTF-8 text may begin with U+FEFF. Pure ASCII reads the same
// in every encoding without a mark.
bool ReadsAsWritten(std::string_view bytes, FileEncoding encoding) {
  const FileEncoding read = DetectEncoding(bytes);
  return read == encoding || (encoding == FileEncoding::Utf8 && read == FileEncoding::Ansi);
}

DecodedFile ReadDecoded(SettingsFileSystem& fileSystem, const std::string& path,
                        const AnsiCodePage& codePage) {
  DecodedFile file;
  file.result = fileSystem.ReadBytes(path, file.bytes);
  if (file.result == SettingsFileSystem::ReadResult::Read && file.bytes.size() > kSettingsFileLimit)
    file.result = SettingsFileSystem::ReadResult::Failed;
  if (file.result != SettingsFileSystem::ReadResult::Read) {
    file.bytes.clear();
    return file;
  }
  file.encoding = DetectEncoding(file.bytes);
  file.text = DecodeFile(file.bytes, file.encoding, codePage);
  return file;
}

}  // namespace

template <typename Read>
auto SettingsFile::Reading(Read read) {
  if (snapshotDepth_ > 0) {
    // The file is read when the snapshot is first read from, not when it begins: a command
    // that writes first reads it only for its write.
    if (!snapshot_) snapshot_ = IniDocument(ReadDecoded(fileSystem_, fileName_, codePage_).text);
    return read(*snapshot_);
  }
  const IniDocument document(ReadDecoded(fileSystem_, fileName_, codePage_).text);
  return read(document);
}

FileEncoding SettingsFile::Encoding() {
  return ReadDecoded(fileSystem_, fileName_, codePage_).encoding;
}

void SettingsFile::BeginSnapshot() { ++snapshotDepth_; }

void SettingsFile::EndSnapshot() {
  if (--snapshotDepth_ == 0) snapshot_.reset();
}

bool SettingsFile::Update(const std::function<bool(IniDocument&)>& change) {
  std::optional<IniDocument> written;
  const bool done = fileSystem_.AsOnlyWriter([&] {
    const DecodedFile file = ReadDecoded(fileSystem_, fileName_, codePage_);
    if (file.result == SettingsFileSystem::ReadResult::Failed) return false;
    IniDocument document(file.text);
    const bool missing = file.result == SettingsFileSystem::ReadResult::Missing;
    if (!change(document)) {
      // Nothing to create in a missing file; an existing one is written as it is.
      return missing || fileSystem_.ReplaceBytes(fileName_, file.bytes);
    }
    std::string bytes;
    if (!EncodeFile(document.Text(), file.encoding, bytes, codePage_) || !ReadsAsWritten(bytes, file.encoding)) {
      // A character the ANSI code page cannot spell, or a text whose bytes the next read
      // would take for another encoding: the whole file becomes UTF-8 with a mark.
      EncodeFile(document.Text(), FileEncoding::Utf8Bom, bytes, codePage_);
    }
    if (bytes.size() > kSettingsFileLimit || !fileSystem_.ReplaceBytes(fileName_, bytes)) return false;
    written = std::move(document);
    return true;
  });
  // A snapshot sees this process's own writes, as a fresh read would.
  if (done && snapshotDepth_ > 0 && written) snapshot_ = std::move(written);
  return done;
}

std::string SettingsFile::RawGetString(const std::string& section, const std::string& key,
                                       const std::string& defaultValue) {
  return Reading([&](const IniDocument& d) { return d.GetString(section, key, defaultValue); });
}

std::vector<std::string> SettingsFile::RawGetKeys(const std::string& section) {
  return Reading([&](const IniDocument& d) { return d.Keys(section); });
}

std::vector<ProfileEntry> SettingsFile::RawGetSection(const std::string& section) {
  return Reading([&](const IniDocument& d) { return d.Entries(section); });
}

bool SettingsFile::RawWrite(const std::string& section, const char* key, const char* value) {
  return Update([&](IniDocument& document) { return document.Write(section, key, value); });
}

bool SettingsFile::RawWriteSection(const std::string& section,
                                   const std::vector<ProfileEntry>& entries) {
  return Update([&](IniDocument& document) { return document.WriteSection(section, entries); });
}

bool SettingsFile::RawWriteEntries(const std::string& section,
                                   const std::vector<ProfileEntry>& entries) {
  return Update([&](IniDocument& document) { return document.WriteEntries(section, entries); });
}

}  // namespace tessel
