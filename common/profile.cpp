#include "common/profile.h"
namespace tessel {
ProfileWriteError::ProfileWriteError(const std::string& fileName)
    : std::runtime_error("Unable to write to " + fileName) {}
std::string Profile::ReadString(const std::string& s, const std::string& k, const std::string& d) { return RawGetString(s, k, d); }
int32_t Profile::ReadInteger(const std::string&, const std::string&, int32_t d) { return d; }
bool Profile::ReadBool(const std::string&, const std::string&, bool d) { return d; }
std::vector<std::string> Profile::ReadKeys(const std::string& s) { return RawGetKeys(s); }
void Profile::WriteString(const std::string& s, const std::string& k, const std::string& v) {
  if (!RawWrite(s, k.c_str(), v.c_str())) throw ProfileWriteError(FileName());
}
void Profile::WriteInteger(const std::string& s, const std::string& k, int32_t v) { WriteString(s, k, std::to_string(v)); }
void Profile::WriteBool(const std::string& s, const std::string& k, bool v) { WriteString(s, k, v ? "1" : "0"); }
void Profile::EraseSection(const std::string& s) { if (!RawWrite(s, nullptr, nullptr)) throw ProfileWriteError(FileName()); }
void Profile::DeleteKey(const std::string& s, const std::string& k) { if (!RawWrite(s, k.c_str(), nullptr)) throw ProfileWriteError(FileName()); }
}  // namespace tessel
