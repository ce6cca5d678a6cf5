// The profile (INI) layer on arbitrary files in every encoding.
//
// The first input byte picks how the rest reaches the disk: as it is (the
// encoding is then detected), or read as UTF-8 and stored as UTF-16 LE with
// BOM, UTF-16 BE with BOM, or UTF-8 with BOM. Then every section and key is
// read through every operation, and the answers must agree with one another:
// - every listed section and key is found again by its name;
// - ReadString returns the count it copied, cut to buffer size - 1, a prefix of
//   the whole value; ReadInt is the decimal reading of the value;
// - ReadSection lists exactly SectionLines, each followed by a NUL, and cuts
//   the list to buffer size - 2 when it and its closing NUL do not fit.
// Finally one key is replaced, one added, one section added, and the profile
// saved and read again: the written values come back, every other value
// stays as it was.

#include <filesystem>
#include <fstream>
#include <map>

#include "fuzz_support.h"
#include "platform/ini_file.h"
#include "platform/text_encoding.h"

using namespace kestrel;
namespace fs = std::filesystem;

namespace {

std::string FileBytes(const uint8_t* data, size_t size) {
  if (size == 0) return {};
  std::string_view rest = fuzz::Bytes(data + 1, size - 1);
  switch (data[0] % 4) {
    case 1: return EncodeText(FromUtf8(rest), TextEncoding::kUtf16Le);
    case 2: return EncodeText(FromUtf8(rest), TextEncoding::kUtf16Be);
    case 3: return "\xEF\xBB\xBF" + std::string(rest);
    default: return std::string(rest);
  }
}

using Values = std::map<std::pair<std::u16string, std::u16string>, std::u16string>;

// Reads everything; returns the value of every (section, key) in upper case.
Values ReadAll(const IniFile& ini) {
  Values values;
  for (const std::u16string& section : ini.SectionNames()) {
    fuzz::Expect(ini.HasSection(section), "listed section not found", section);
    std::vector<std::u16string> lines = ini.SectionLines(section);
    std::u16string list;
    for (const auto& line : lines) list += line + u'\0';

    std::u16string out;
    int full = ini.ReadSection(section, int(list.size()) + 2, out);
    fuzz::Expect(full == int(out.size()) && out == list, "ReadSection differs from SectionLines", list, out);
    for (int buffer : {0, 1, 2, 3, 8, int(list.size()), int(list.size()) + 1}) {
      int n = ini.ReadSection(section, buffer, out);
      std::u16string expected = buffer <= 2 ? std::u16string() : list.size() + 1 <= size_t(buffer) ? list
                                                                  : list.substr(0, size_t(buffer) - 2);
      fuzz::Expect(n == int(out.size()) && out == expected, "ReadSection cut wrongly", expected, out);
    }

    for (const std::u16string& key : ini.KeyNames(section)) {
      std::optional<std::u16string> value = ini.Value(section, key);
      fuzz::Expect(value.has_value(), "listed key not found", section, key);
      for (int buffer : {1, 2, 16, 511, 512, 1024, int(value->size()), int(value->size()) + 1}) {
        int n = ini.ReadString(section, key, u"NULL", buffer, out);
        size_t expected = std::min(value->size(), size_t(buffer) - 1);
        fuzz::Expect(n == int(out.size()) && out.size() == expected && value->compare(0, expected, out) == 0,
                     "ReadString cut wrongly", *value, out);
      }
      int number = ini.ReadInt(section, key, -7);
      fuzz::Expect(number == (value->empty() ? -7 : ParseDecimal(*value)), "ReadInt differs", *value);
      values.emplace(std::pair(ToUpper(section), ToUpper(key)), *value);
    }
  }
  return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ScratchFolder folder;
  const fs::path path = folder.path() / "profile.ini";
  fuzz::WriteFile(path, FileBytes(data, size));
  IniFile ini(path);
  Values before = ReadAll(ini);

  std::vector<std::u16string> sections = ini.SectionNames();
  std::u16string section = sections.empty() ? u"New" : sections.front();
  std::vector<std::u16string> keys = ini.KeyNames(section);
  Values expected = before;
  auto write = [&](const std::u16string& s, const std::u16string& k, const std::u16string& v) {
    fuzz::Expect(ini.WriteString(s, k, v), "write refused", s, k);
    expected[std::pair(ToUpper(Trim(s)), ToUpper(Trim(k)))] = v;
  };
  // A key read from a "[" line that has no "]" cannot be written: the writer
  // refuses names that could read back as a section header.
  if (!keys.empty() && !StartsWithNoCase(keys.front(), u"[")) write(section, keys.front(), u"replaced");
  write(section, u"FuzzAdded", u"added value");
  write(u"Fuzz Section", u"0", u"DELKEY=HKEY_CURRENT_USER\\Software\\Example");

  std::string reason;
  fuzz::Expect(ini.Save(&reason), "save failed", FromUtf8(reason));
  IniFile again(path);
  Values after = ReadAll(again);
  for (const auto& [name, value] : expected) {
    auto it = after.find(name);
    fuzz::Expect(it != after.end(), "value lost by saving", name.first, name.second);
    fuzz::Expect(it->second == value, "value changed by saving", value, it->second);
  }
  return 0;
}
