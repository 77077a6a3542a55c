// Settings-file access. Every read and write goes straight to the file; nothing is
// cached. The platform part (raw reads and writes) is virtual so that native tests
// can use an in-memory stand-in that behaves like the private-profile functions.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

constexpr size_t kProfileStringLimit = 1023;  // characters a string read returns at most
constexpr size_t kProfileKeyListBytes = 8192;  // names + terminators + final zero

// A write that did not reach the file. what() is "Unable to write to <file>".
class ProfileWriteError : public std::runtime_error {
 public:
  explicit ProfileWriteError(const std::string& fileName);
};

// One "key=value" line of a section, the value as it stands in the file.
struct ProfileEntry {
  std::string key;
  std::string value;
  bool operator==(const ProfileEntry& other) const {
    return key == other.key && value == other.value;
  }
};

// The value to write so that a string read gives text back unchanged: reads trim blanks
// around a value and strip one pair of surrounding quotes, so a text that begins or ends
// with either is written between double quotes.
std::string ProfileValueFor(const std::string& text);

// A value of a section read as a whole (ReadSection), as a string read of its key returns
// it: one pair of matching quotes around it removed, cut to 1023 characters.
std::string ValueAsRead(std::string_view raw);

class Profile {
 public:
  virtual ~Profile() = default;
  virtual const std::string& FileName() const = 0;

  // Raw platform operations.
  // Value of key in section (at most kProfileStringLimit characters) or defaultValue.
  virtual std::string RawGetString(const std::string& section, const std::string& key,
                                   const std::string& defaultValue) = 0;
  // Key names of section in file order, as the platform returns them (possibly more
  // than fit the 8192-byte rule; ReadKeys applies it).
  virtual std::vector<std::string> RawGetKeys(const std::string& section) = 0;
  // key == nullptr erases the section, value == nullptr deletes the key.
  virtual bool RawWrite(const std::string& section, const char* key, const char* value) = 0;
  // Every line of section in file order as the platform lists it (comments left out).
  virtual std::vector<ProfileEntry> RawGetSection(const std::string& section) = 0;
  // Replaces the entries of section (of every header with its name) in one write.
  virtual bool RawWriteSection(const std::string& section,
                               const std::vector<ProfileEntry>& entries) = 0;
  // Sets each key of entries in section, keeping the section's other lines, in one write.
  virtual bool RawWriteEntries(const std::string& section,
                               const std::vector<ProfileEntry>& entries) = 0;

  // While a Snapshot lives, reads see the file as one read at its start found it (and as
  // this profile's own writes changed it): a command that reads many sections reads the
  // file once. Without one, every read goes to the file.
  class Snapshot {
   public:
    explicit Snapshot(Profile& profile) : profile_(profile) { profile_.BeginSnapshot(); }
    ~Snapshot() { profile_.EndSnapshot(); }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

   private:
    Profile& profile_;
  };

  // Reading rules.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue);
  int32_t ReadInteger(const std::string& section, const std::string& key, int32_t defaultValue);
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue);
  // Key names in file order that fit the 8192-byte buffer rule.
  std::vector<std::string> ReadKeys(const std::string& section);

  // Every "key=value" line of section in file order, values whole (not cut at 1023
  // characters) and as they stand in the file, quotes kept, so that a copy is exact.
  // Nameless lines and lines without "=" are left out; a missing section gives none.
  std::vector<ProfileEntry> ReadSection(const std::string& section);

  // Writing rules; each throws ProfileWriteError when the write fails.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int32_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);
  void EraseSection(const std::string& section);
  void DeleteKey(const std::string& section, const std::string& key);
  // Replaces all entries of section by entries, in order, with one write of the file. A
  // missing section is added at the end (only when entries is not empty).
  void WriteSection(const std::string& section, const std::vector<ProfileEntry>& entries);
  // Merges entries into section with one write: a key present takes the new value in its
  // first line, the others are appended in order; every other line stays where it is.
  void WriteEntries(const std::string& section, const std::vector<ProfileEntry>& entries);

 protected:
  virtual void BeginSnapshot() {}
  virtual void EndSnapshot() {}
};

}  // namespace tessel
