// The settings file (and map files) as the program reads and writes them: the whole file
// is read and parsed for every access, in whatever encoding it is saved (UTF-16LE or UTF-8
// with a byte-order mark, UTF-8 without one, the ANSI code page), and handed to the
// callers as UTF-8. A write changes the file as it is at that moment, keeps its encoding
// and mark (an ANSI file that cannot hold a new character becomes UTF-8 with a mark), and
// replaces the file in one step, so a reader sees the old or the new file, never a cut
// one. Writers of all processes take turns. Nothing is cached beyond a Snapshot.
#pragma once
#include "common/ini_document.h"
#include "common/profile.h"
#include "common/text_encoding.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tessel {

// What the settings file needs from the operating system.
class SettingsFileSystem {
 public:
  virtual ~SettingsFileSystem() = default;
  enum class ReadResult { Read, Missing, Failed };
  // The whole file. Failed: it exists but cannot be read (held open without sharing, a
  // folder, too large, ...).
  virtual ReadResult ReadBytes(const std::string& path, std::string& bytes) = 0;
  // Replaces the file by bytes in one step, creating it if need be. False when that failed:
  // the old file is then whole and nothing of the attempt is left behind.
  virtual bool ReplaceBytes(const std::string& path, const std::string& bytes) = 0;
  // Runs update while no other writer of any process runs; false when the turn did not
  // come within a bounded wait.
  virtual bool AsOnlyWriter(const std::function<bool()>& update) = 0;
};

// Files larger than this are not read (every value takes its default) and not written.
constexpr size_t kSettingsFileLimit = 64u * 1024 * 1024;

class SettingsFile : public Profile {
 public:
  SettingsFile(std::string fileName, SettingsFileSystem& fileSystem,
               const AnsiCodePage& codePage = ProcessAnsiCodePage())
      : fileName_(std::move(fileName)), fileSystem_(fileSystem), codePage_(codePage) {}

  const std::string& FileName() const override { return fileName_; }
  std::string RawGetString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;
  std::vector<std::string> RawGetKeys(const std::string& section) override;
  bool RawWrite(const std::string& section, const char* key, const char* value) override;
  std::vector<ProfileEntry> RawGetSection(const std::string& section) override;
  bool RawWriteSection(const std::string& section, const std::vector<ProfileEntry>& entries) override;
  bool RawWriteEntries(const std::string& section, const std::vector<ProfileEntry>& entries) override;

  // The file's encoding as it is now (ANSI for a missing or unreadable file).
  FileEncoding Encoding();

 protected:
  void BeginSnapshot() override;
  void EndSnapshot() override;

 private:
  template <typename Read>
  auto Reading(Read read);
  // Reads the file, applies change and writes the result back; the file's own bytes when
  // change changed nothing, so that an unwritable file still refuses the write.
  bool Update(const std::function<bool(IniDocument&)>& change);

  std::string fileName_;
  SettingsFileSystem& fileSystem_;
  const AnsiCodePage& codePage_;
  int snapshotDepth_ = 0;
  std::optional<IniDocument> snapshot_;
};

}  // namespace tessel
