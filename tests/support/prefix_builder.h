#pragma once
// Builds a small Wine prefix in a temporary folder for tests, removed with
// everything in it afterwards.
//
//   PrefixBuilder prefix;                       // dosdevices/c: -> ../drive_c, empty hives
//   prefix.AddFile("users/joe/AppData/Roaming/Example/a.log", "text");
//   prefix.AddFileOfSize("Temp/big.tmp", 5'000'000);   // sparse
//   prefix.SetString(PrefixBuilder::kUser, u"Software\\Example", u"Last", u"x");
//   PrefixFileSystem files(prefix.Root());
//
// Paths of files and folders are relative to drive_c and may use "/" or "\".
// Registry keys are relative to their hive's root ("Software\\Example" in
// kMachine is HKEY_LOCAL_MACHINE\Software\Example). Every registry call
// rewrites that hive's file at once, in the text format wineserver writes
// (header, "[Key\\Path] time" lines, #time, #link, @, str(2), str(7), dword,
// hex, hex(N) with continuation lines), so the prefix is always complete.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_dir.h"

namespace kestrel::testing {

class PrefixBuilder {
 public:
  // system.reg (HKEY_LOCAL_MACHINE), user.reg (HKEY_CURRENT_USER),
  // userdef.reg (HKEY_USERS\.DEFAULT).
  enum Hive { kMachine, kUser, kUserDefault };

  PrefixBuilder();

  const std::filesystem::path& Root() const { return dir_.path(); }
  std::filesystem::path DriveC() const { return Root() / "drive_c"; }

  // Files and folders below drive_c; parents are created. Each returns the host path.
  std::filesystem::path AddFolder(std::string_view relative);
  std::filesystem::path AddFile(std::string_view relative, std::string_view content = {});
  std::filesystem::path AddFileOfSize(std::string_view relative, uint64_t size);
  // A symbolic link below drive_c pointing at `target` (written as given).
  std::filesystem::path AddLink(std::string_view relative, const std::filesystem::path& target);
  // dosdevices/<letter>: pointing at `target` (absolute, or relative to
  // dosdevices); replaces an existing mapping.
  void MapDrive(char letter, const std::filesystem::path& target);

  // Registry keys and values. An empty value name is the default value ("@").
  PrefixBuilder& AddKey(Hive hive, std::u16string_view key);
  PrefixBuilder& SetString(Hive hive, std::u16string_view key, std::u16string_view name,
                           std::u16string_view text);
  PrefixBuilder& SetExpandString(Hive hive, std::u16string_view key, std::u16string_view name,
                                 std::u16string_view text);
  PrefixBuilder& SetMultiString(Hive hive, std::u16string_view key, std::u16string_view name,
                                const std::vector<std::u16string>& strings);
  PrefixBuilder& SetDword(Hive hive, std::u16string_view key, std::u16string_view name, uint32_t number);
  // Binary data of any type: "hex:" for REG_BINARY, "hex(N):" otherwise.
  PrefixBuilder& SetBinary(Hive hive, std::u16string_view key, std::u16string_view name,
                           const std::vector<uint8_t>& bytes, uint32_t type = 3);
  // A link key ("#link") to a "\Registry\Machine\..." path.
  PrefixBuilder& AddLinkKey(Hive hive, std::u16string_view key, std::u16string_view target);

  // Replaces a hive file with raw text (for malformed input); later registry
  // calls on that hive write the generated text again.
  void WriteRawHive(Hive hive, const std::string& text) const;
  void RemoveHive(Hive hive);
  std::filesystem::path HivePath(Hive hive) const;

  // What a fresh Wine prefix holds for `user`, in small: the folders of
  // drive_c (windows\system32, users\<user>\AppData\Roaming and Local,
  // Documents, ProgramData, Program Files) and the registry values that give
  // the Windows directory, the environment (Session Manager, Environment,
  // Volatile Environment, ProfileList, Program Files) and the shell folders.
  void AddWineLayout(std::string_view user);

 private:
  struct Value {
    std::u16string name;
    std::string text;  // the part after "=" as written in the file
  };
  struct Key {
    std::u16string path;
    bool link = false;
    std::vector<Value> values;
  };

  Key& FindKey(Hive hive, std::u16string_view key);
  PrefixBuilder& Set(Hive hive, std::u16string_view key, std::u16string_view name, std::string text);
  void WriteHive(Hive hive) const;

  TempDir dir_;
  std::vector<Key> keys_[3];
};

}  // namespace kestrel::testing
