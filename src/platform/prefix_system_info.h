#pragma once
// System facts of a Wine prefix, read from its registry once, when constructed.
//
// Windows directory: HKLM\Software\Microsoft\Windows NT\CurrentVersion
// "SystemRoot", else C:\windows; the system directory is its system32.
//
// Environment, built the way Wine builds a process's environment: SystemDrive,
// SystemRoot, ProgramData, ALLUSERSPROFILE and PUBLIC (from ProfileList);
// then the values of HKLM\System\CurrentControlSet\Control\Session
// Manager\Environment, HKCU\Environment and HKCU\Volatile Environment in
// stored order, expandable ones expanded against what is set so far, a PATH
// of the user's keys appended to the machine's with ";"; the keys are read in
// two rounds, so a value may use a variable a later key defines. Then the
// first five again (they win over the registry), COMPUTERNAME (from the
// ComputerName key) and the Program Files variables (from
// HKLM\Software\Microsoft\Windows\CurrentVersion). The Linux process
// environment plays no part.
//
// Special folders: the "User Shell Folders" value (expandable strings
// expanded against that environment), else the "Shell Folders" value, else
// Wine's default below the user's profile (USERPROFILE, else
// C:\users\<user name>) or, for the common application data, ProgramData.

#include <string>
#include <utility>
#include <vector>

#include "platform/registry.h"
#include "platform/system_info.h"

namespace kestrel {

class PrefixSystemInfo final : public SystemInfo {
 public:
  // `user_name` is the running user's name (LoginName() for the real one);
  // empty when it cannot be told.
  PrefixSystemInfo(const Registry& registry, std::u16string user_name);

  std::u16string WindowsDirectory() const override { return windows_directory_; }
  std::u16string SystemDirectory() const override { return windows_directory_ + u"\\system32"; }
  bool SpecialFolder(int csidl, std::u16string& out) const override;
  bool UserName(std::u16string& out) const override;
  bool Environment(std::u16string_view name, std::u16string& value) const override;

  // Every variable in the order it was first set.
  const std::vector<std::pair<std::u16string, std::u16string>>& Variables() const { return variables_; }

 private:
  void Set(std::u16string_view name, std::u16string value);
  void AddKeyVariables(const Registry& registry, uint32_t root, std::u16string_view path);
  std::u16string Expand(std::u16string_view text) const;

  std::u16string user_name_;
  std::u16string windows_directory_;
  std::vector<std::pair<std::u16string, std::u16string>> variables_;
  std::vector<std::pair<int, std::u16string>> folders_;
};

// The Unix login name of the running user, which Wine takes as the Windows
// user name; empty when the system cannot tell it.
std::u16string LoginName();

}  // namespace kestrel
