#include "support/prefix_builder.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "platform/text.h"

namespace kestrel::testing {
namespace {

namespace fs = std::filesystem;

fs::path Relative(std::string_view relative) {
  std::string s(relative);
  for (char& c : s)
    if (c == '\\') c = '/';
  return fs::path(s);
}

bool IsOctalDigit(char16_t c) { return c >= u'0' && c <= u'7'; }

// A string the way wineserver quotes it: characters above ASCII as "\x" and
// their UTF-16 unit. `key_path` also escapes the brackets of key lines.
std::string Quote(std::u16string_view text, bool key_path = false) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    switch (c) {
      case u'\\': out += "\\\\"; continue;
      case u'"': out += "\\\""; continue;
      case u'\n': out += "\\n"; continue;
      case u'\r': out += "\\r"; continue;
      case u'\t': out += "\\t"; continue;
      default: break;
    }
    if (key_path && (c == u'[' || c == u']')) {
      out += '\\';
      out += char(c);
    } else if (c == 0 && !(i + 1 < text.size() && IsOctalDigit(text[i + 1]))) {
      out += "\\0";
    } else if (c < 0x20) {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\%03o", unsigned(c));
      out += buffer;
    } else if (c < 0x80) {
      out += char(c);
    } else {
      // Four digits always, so that a hex digit after it is not taken in.
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\x%04x", unsigned(c));
      out += buffer;
    }
  }
  return out;
}

std::string NameField(std::u16string_view name) {
  return name.empty() ? std::string("@") : "\"" + Quote(name) + "\"";
}

// "hex:" / "hex(N):" bytes, continued on the next line near column 76 the
// way wineserver wraps them.
std::string HexText(const std::vector<uint8_t>& bytes, uint32_t type, size_t column) {
  char buffer[16];
  std::string out = type == 3 ? std::string("hex:") : "hex(" + [&] {
    std::snprintf(buffer, sizeof buffer, "%x", type);
    return std::string(buffer);
  }() + "):";
  column += out.size();
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(buffer, sizeof buffer, "%02x", bytes[i]);
    out += buffer;
    column += 2;
    if (i + 1 < bytes.size()) {
      out += ',';
      ++column;
      if (column > 76) {
        out += "\\\n  ";
        column = 2;
      }
    }
  }
  return out;
}

const char* kHeaders[3] = {
    ";; All keys relative to REGISTRY\\\\Machine",
    ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000",
    ";; All keys relative to REGISTRY\\\\User\\\\.Default",
};
const char* kHiveFiles[3] = {"system.reg", "user.reg", "userdef.reg"};

}  // namespace

PrefixBuilder::PrefixBuilder() {
  fs::create_directories(Root() / "dosdevices");
  fs::create_directories(DriveC());
  MapDrive('c', "../drive_c");
  for (int hive = 0; hive < 3; ++hive) WriteHive(Hive(hive));
}

fs::path PrefixBuilder::AddFolder(std::string_view relative) {
  fs::path path = DriveC() / Relative(relative);
  fs::create_directories(path);
  return path;
}

fs::path PrefixBuilder::AddFile(std::string_view relative, std::string_view content) {
  fs::path path = DriveC() / Relative(relative);
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), std::streamsize(content.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
  return path;
}

fs::path PrefixBuilder::AddFileOfSize(std::string_view relative, uint64_t size) {
  fs::path path = AddFile(relative);
  fs::resize_file(path, size);  // sparse: takes no room on disk
  return path;
}

fs::path PrefixBuilder::AddLink(std::string_view relative, const fs::path& target) {
  fs::path path = DriveC() / Relative(relative);
  fs::create_directories(path.parent_path());
  fs::create_symlink(target, path);
  return path;
}

void PrefixBuilder::MapDrive(char letter, const fs::path& target) {
  fs::path link = Root() / "dosdevices" / (std::string(1, char(letter | 0x20)) + ":");
  std::error_code ec;
  fs::remove(link, ec);
  fs::create_symlink(target, link);
}

PrefixBuilder::Key& PrefixBuilder::FindKey(Hive hive, std::u16string_view key) {
  for (auto& k : keys_[hive])
    if (EqualsNoCase(k.path, key)) return k;
  keys_[hive].push_back(Key{std::u16string(key), false, {}});
  return keys_[hive].back();
}

PrefixBuilder& PrefixBuilder::AddKey(Hive hive, std::u16string_view key) {
  FindKey(hive, key);
  WriteHive(hive);
  return *this;
}

PrefixBuilder& PrefixBuilder::Set(Hive hive, std::u16string_view key, std::u16string_view name,
                                  std::string text) {
  Key& k = FindKey(hive, key);
  bool replaced = false;
  for (auto& v : k.values) {
    if (EqualsNoCase(v.name, name)) {
      v.text = text;
      replaced = true;
    }
  }
  if (!replaced) k.values.push_back(Value{std::u16string(name), std::move(text)});
  WriteHive(hive);
  return *this;
}

PrefixBuilder& PrefixBuilder::SetString(Hive hive, std::u16string_view key, std::u16string_view name,
                                        std::u16string_view text) {
  return Set(hive, key, name, "\"" + Quote(text) + "\"");
}

PrefixBuilder& PrefixBuilder::SetExpandString(Hive hive, std::u16string_view key,
                                              std::u16string_view name, std::u16string_view text) {
  return Set(hive, key, name, "str(2):\"" + Quote(text) + "\"");
}

PrefixBuilder& PrefixBuilder::SetMultiString(Hive hive, std::u16string_view key,
                                             std::u16string_view name,
                                             const std::vector<std::u16string>& strings) {
  std::u16string joined;
  for (const auto& s : strings) {
    joined += s;
    joined += u'\0';
  }
  return Set(hive, key, name, "str(7):\"" + Quote(joined) + "\"");
}

PrefixBuilder& PrefixBuilder::SetDword(Hive hive, std::u16string_view key, std::u16string_view name,
                                       uint32_t number) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "dword:%08x", number);
  return Set(hive, key, name, buffer);
}

PrefixBuilder& PrefixBuilder::SetBinary(Hive hive, std::u16string_view key, std::u16string_view name,
                                        const std::vector<uint8_t>& bytes, uint32_t type) {
  return Set(hive, key, name, HexText(bytes, type, NameField(name).size() + 1));
}

PrefixBuilder& PrefixBuilder::AddLinkKey(Hive hive, std::u16string_view key, std::u16string_view target) {
  Key& k = FindKey(hive, key);
  k.link = true;
  std::vector<uint8_t> bytes;
  for (char16_t c : target) {
    bytes.push_back(uint8_t(c & 0xFF));
    bytes.push_back(uint8_t(c >> 8));
  }
  // Wine stores the link target without a terminator.
  return SetBinary(hive, key, u"SymbolicLinkValue", bytes, 6);
}

fs::path PrefixBuilder::HivePath(Hive hive) const { return Root() / kHiveFiles[hive]; }

void PrefixBuilder::WriteRawHive(Hive hive, const std::string& text) const {
  std::ofstream out(HivePath(hive), std::ios::binary | std::ios::trunc);
  out << text;
}

void PrefixBuilder::RemoveHive(Hive hive) {
  std::error_code ec;
  fs::remove(HivePath(hive), ec);
}

void PrefixBuilder::WriteHive(Hive hive) const {
  std::string text = "WINE REGISTRY Version 2\n";
  text += kHeaders[hive];
  text += "\n\n#arch=win64\n";
  for (const auto& key : keys_[hive]) {
    text += "\n[" + Quote(key.path, true) + "] 1700000000\n#time=1da1b2c3d4e5f60\n";
    if (key.link) text += "#link\n";
    for (const auto& value : key.values) text += NameField(value.name) + "=" + value.text + "\n";
  }
  WriteRawHive(hive, text);
}

void PrefixBuilder::AddWineLayout(std::string_view user_name) {
  const std::string user(user_name);
  const std::u16string u16user = FromUtf8(user);
  const std::u16string profile = u"C:\\users\\" + u16user;
  for (const char* folder : {"windows/system32", "windows/temp", "ProgramData", "Program Files/Common Files",
                             "Program Files (x86)/Common Files", "users/Public/Documents"})
    AddFolder(folder);
  for (const char* folder : {"AppData/Roaming", "AppData/Local/Microsoft/Windows/INetCache",
                             "Documents", "Temp"})
    AddFolder("users/" + user + "/" + folder);

  SetString(kMachine, u"Software\\Microsoft\\Windows NT\\CurrentVersion", u"SystemRoot", u"C:\\windows");
  const std::u16string version = u"Software\\Microsoft\\Windows\\CurrentVersion";
  SetString(kMachine, version, u"ProgramFilesDir", u"C:\\Program Files");
  SetString(kMachine, version, u"ProgramFilesDir (x86)", u"C:\\Program Files (x86)");
  SetString(kMachine, version, u"CommonFilesDir", u"C:\\Program Files\\Common Files");
  SetString(kMachine, version, u"CommonFilesDir (x86)", u"C:\\Program Files (x86)\\Common Files");
  const std::u16string profiles = u"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
  SetExpandString(kMachine, profiles, u"ProfilesDirectory", u"C:\\users");
  SetExpandString(kMachine, profiles, u"ProgramData", u"C:\\ProgramData");
  SetExpandString(kMachine, profiles, u"Public", u"C:\\users\\Public");

  const std::u16string session = u"System\\CurrentControlSet\\Control\\Session Manager\\Environment";
  SetExpandString(kMachine, session, u"ComSpec", u"%SystemRoot%\\system32\\cmd.exe");
  SetString(kMachine, session, u"OS", u"Windows_NT");
  SetExpandString(kMachine, session, u"PATH", u"%SystemRoot%\\system32;%SystemRoot%");
  SetExpandString(kMachine, session, u"TEMP", u"%SystemRoot%\\temp");
  SetExpandString(kMachine, session, u"TMP", u"%SystemRoot%\\temp");
  SetExpandString(kMachine, session, u"windir", u"%SystemRoot%");
  SetString(kMachine, session, u"winsysdir", u"C:\\windows\\system32");

  SetString(kUser, u"Environment", u"TEMP", profile + u"\\Temp");
  SetString(kUser, u"Environment", u"TMP", profile + u"\\Temp");
  const std::u16string volatile_env = u"Volatile Environment";
  SetString(kUser, volatile_env, u"APPDATA", profile + u"\\AppData\\Roaming");
  SetString(kUser, volatile_env, u"HOMEDRIVE", u"C:");
  SetString(kUser, volatile_env, u"HOMEPATH", u"\\users\\" + u16user);
  SetString(kUser, volatile_env, u"LOCALAPPDATA", profile + u"\\AppData\\Local");
  SetString(kUser, volatile_env, u"USERNAME", u16user);
  SetString(kUser, volatile_env, u"USERPROFILE", profile);

  const std::u16string user_shell = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  SetExpandString(kUser, user_shell, u"AppData", u"%USERPROFILE%\\AppData\\Roaming");
  SetExpandString(kUser, user_shell, u"Cache", u"%USERPROFILE%\\AppData\\Local\\Microsoft\\Windows\\INetCache");
  SetExpandString(kUser, user_shell, u"Local AppData", u"%USERPROFILE%\\AppData\\Local");
  SetExpandString(kUser, user_shell, u"Personal", u"%USERPROFILE%\\Documents");
  SetExpandString(kMachine, user_shell, u"Common AppData", u"%ProgramData%");
}

}  // namespace kestrel::testing
