#pragma once
// A profile (INI) file read once, indexed, and written back in one atomic step.
//
// Reading answers like the Windows profile functions: section and key names are
// compared without regard to case (a-z), white space around names and values is
// ignored, a value in a matching pair of double or single quotes comes back
// without them, and lines that begin with ";" are comments. Where a file names a
// section or a key twice, the first one counts; later duplicates are kept in the
// file but never read. A line inside a section that holds no "=" is not a key:
// key lookups pass it by, but it belongs to the section's lines.
//
// Bad files never break a caller: a missing, unreadable or oversized file, a
// folder or a device reads as an empty profile, so every read gives its default.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_encoding.h"

namespace kestrel {

class IniFile {
 public:
  // Larger files are not read: a profile of that size is no profile.
  static constexpr uint64_t kMaxFileBytes = uint64_t(256) << 20;

  // Reads and indexes the file at `path`. When it cannot be read the profile is
  // empty and LoadError() says why; a file that does not exist is no error.
  explicit IniFile(std::filesystem::path path);
  // An empty profile for `path` that replaces whatever file is there on Save.
  static IniFile CreateNew(std::filesystem::path path);

  IniFile(IniFile&&) noexcept;
  IniFile& operator=(IniFile&&) noexcept;
  ~IniFile();

  const std::filesystem::path& Path() const;
  // True when the file was there and was read.
  bool Exists() const;
  // Why an existing file could not be read; empty otherwise.
  const std::string& LoadError() const;
  // The encoding the file was read in (kAscii for a new or empty profile).
  TextEncoding Encoding() const;
  // True when writes are waiting for Save.
  bool Modified() const;

  // --- The profile answers ---

  // Copies the value, or `default_text` when the section or key is missing, cut
  // to buffer_size - 1 characters, into `out`; returns the number copied (so a
  // value that was cut returns buffer_size - 1). buffer_size <= 0 copies nothing.
  int ReadString(std::u16string_view section, std::u16string_view key, std::u16string_view default_text,
                 int buffer_size, std::u16string& out) const;
  // The value as a decimal integer: 0 when it does not begin with a digit (after
  // an optional sign); `default_value` when the key is missing or its value empty.
  int ReadInt(std::u16string_view section, std::u16string_view key, int default_value) const;
  // The section's lines as the double-NUL list of the Windows API: every line
  // followed by a NUL. The list is cut to fit a buffer of buffer_size characters
  // (its two closing NULs included), returning buffer_size - 2 then. `out` holds
  // the characters counted by the result; 0 for a missing or empty section.
  int ReadSection(std::u16string_view section, int buffer_size, std::u16string& out) const;
  // Sets a value in memory. A new key goes at the end of its section, a new
  // section at the end of the file; an existing key's line is replaced in place.
  // Refuses (false, with a reason) names and values that could not be read back
  // as written: line breaks or NUL anywhere, "]" in a section name, "=" in a key,
  // a key beginning with ";" or "[". Names are stored trimmed; values as given,
  // but a value in matching quotes inside one more pair, so it reads back whole.
  bool WriteString(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                   std::string* reason = nullptr);
  // Writes the profile to its path: a temporary file in the same folder, flushed
  // to disk, then renamed over the target, so the old file survives any failure.
  // CR LF line ends; ASCII when every character is ASCII, else UTF-16 LE with BOM.
  // Refuses to save over a file that exists but could not be read, unless the
  // profile was made with CreateNew. On failure returns false and says why.
  bool Save(std::string* reason = nullptr);

  // --- Whole values and enumeration ---

  // The full value (trimmed, quotes removed) however long; nullopt when missing.
  std::optional<std::u16string> Value(std::u16string_view section, std::u16string_view key) const;
  bool HasSection(std::u16string_view section) const;
  // Section names in file order (first occurrences), then sections added by writes.
  std::vector<std::u16string> SectionNames() const;
  // Key names of a section in file order (first occurrences), then keys added.
  std::vector<std::u16string> KeyNames(std::u16string_view section) const;
  // What ReadSection lists, one element per line: "key=value" with white space
  // around name and value removed (quotes kept), or the trimmed line when it
  // holds no "="; blank lines and comments are left out.
  std::vector<std::u16string> SectionLines(std::u16string_view section) const;

 private:
  struct Impl;
  IniFile();
  std::unique_ptr<Impl> impl_;
};

}  // namespace kestrel
