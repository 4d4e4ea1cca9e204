// The settings file calls over the text lookups, the editor and the locked file update.
#include "platform/core/profile.h"

#include <climits>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "platform/core/diagnostics.h"
#include "platform/core/profile_edit.h"
#include "platform/core/profile_query.h"
#include "platform/core/profile_read.h"
#include "platform/core/profile_update.h"

namespace {

std::string ReadText(const char* file) {
  std::string text;
  if (!file || profile::ReadWholeFile(file, text) != profile::ReadResult::Read) text.clear();
  return text;
}

// Windows drops trailing spaces of the default, and callers written against it may rely on that.
std::string_view DefaultValue(const char* deflt) {
  std::string_view s = deflt ? deflt : "";
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

DWORD CopyString(std::string_view s, char* buffer, DWORD width) {
  std::size_t n = s.size() < width - 1 ? s.size() : width - 1;
  std::memcpy(buffer, s.data(), n);
  buffer[n] = '\0';
  return static_cast<DWORD>(n);
}

// A list that does not fit keeps its double NUL ending and reports width-2, as Windows does.
DWORD CopyList(const std::string& list, char* buffer, DWORD width) {
  if (list.size() + 1 <= width) {
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    if (list.empty() && width > 1) buffer[1] = '\0';
    return static_cast<DWORD>(list.size());
  }
  if (width < 3) {
    std::memset(buffer, 0, width);
    return 0;
  }
  std::memcpy(buffer, list.data(), width - 2);
  buffer[width - 2] = '\0';
  buffer[width - 1] = '\0';
  return width - 2;
}

// The refused names themselves may hold the line breaks that a diagnostic line must not.
std::string Printable(const char* s) {
  std::string out;
  for (; *s && out.size() < 64; ++s) out.push_back(static_cast<unsigned char>(*s) < ' ' ? '?' : *s);
  return out;
}

int LeadingNumber(std::string_view s) {
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  // Saturates just past the int range so that any number of digits cannot overflow.
  constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
  long long magnitude = 0;
  for (char c : s) {
    if (c < '0' || c > '9') break;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > kLimit) magnitude = kLimit;
  }
  long long value = negative ? -magnitude : magnitude;
  if (value > INT_MAX) return INT_MAX;
  return static_cast<int>(value);
}

bool Writable(const char* section, const char* key, const char* value) {
  if (!profile::ValidSectionName(section) || (key && !profile::ValidKeyName(key)) ||
      (key && value && !profile::ValidValue(value))) {
    Diag(DiagLevel::Warning, "settings: refused to write [%s] %s: the name or value would break the file",
         Printable(section).c_str(), key ? Printable(key).c_str() : "(whole section)");
    return false;
  }
  return true;
}

}  // namespace

DWORD GetPrivateProfileString(const char* section, const char* key, const char* deflt, char* buffer,
                              DWORD width, const char* file) {
  if (!buffer || width == 0) return 0;
  std::string text = ReadText(file);
  if (!section) return CopyList(profile::ListSections(text), buffer, width);
  if (!key) return CopyList(profile::ListKeys(text, section), buffer, width);
  std::optional<std::string_view> value = profile::FindValue(text, section, key);
  return CopyString(value ? *value : DefaultValue(deflt), buffer, width);
}

int GetPrivateProfileInt(const char* section, const char* key, int deflt, const char* file) {
  if (!section || !key) return deflt;
  std::string text = ReadText(file);
  std::optional<std::string_view> value = profile::FindValue(text, section, key);
  if (!value || value->empty()) return deflt;
  return LeadingNumber(*value);
}

int ProfileNumber(const char* value) { return value ? LeadingNumber(value) : 0; }

BOOL WritePrivateProfileString(const char* section, const char* key, const char* value, const char* file) {
  if (!file || !section || !Writable(section, key, value)) return FALSE;
  bool written = profile::UpdateFile(file, [&](std::string& text) {
    if (!key) return profile::DeleteSection(text, section);
    if (!value) return profile::DeleteKey(text, section, key);
    return profile::SetKey(text, section, key, profile::StoredValue(value));
  });
  return written ? TRUE : FALSE;
}

BOOL WritePrivateProfileKeys(std::span<const ProfileKey> keys, const char* file, bool secret,
                             std::string* why) {
  for (const ProfileKey& k : keys) {
    if (!file || !k.section || !k.key || !k.value || !Writable(k.section, k.key, k.value)) {
      if (why != nullptr) *why = "a value would break the file";
      return FALSE;
    }
  }
  bool written = profile::UpdateFile(file,
                                     [&](std::string& text) {
                                       bool changed = false;
                                       for (const ProfileKey& k : keys)
                                         changed |= profile::SetKey(text, k.section, k.key,
                                                                    profile::StoredValue(k.value));
                                       return changed;
                                     },
                                     {secret, why});
  return written ? TRUE : FALSE;
}
