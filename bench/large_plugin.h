#pragma once
// Large plug-ins for the benchmarks: 20,000 actions in 200 groups, and one
// action on a very long line.

#include <string>

inline constexpr int kActions = 20000;
inline constexpr int kGroupsPerKind = 100;  // 200 groups in all

inline const char kBenchHeader[] =
    "[Settings]\r\nDescription=Benchmark plug-in\r\nProvider=bench\r\nVersion=1.0\r\nEncrypted=0\r\nHIDEOPTION=0\r\n";

// Half registry, half file/folder actions. Half of each kind are named (and
// so ticked) by the 100 groups of their kind; the rest fall to the default
// groups, unticked.
inline std::string GenerateLargePlugin() {
  const int per_kind = kActions / 2;
  std::string text = kBenchHeader;
  for (const char* section : {"REG_OPTION", "DISK_OPTION"}) {
    text += std::string("[") + section + "]\r\n";
    for (int g = 0; g < kGroupsPerKind; ++g) {
      text += std::to_string(g) + "=Group " + std::to_string(g) + "<1>";
      bool first = true;
      for (int a = g; a < per_kind; a += kGroupsPerKind * 2) {
        text += (first ? "" : ",") + std::to_string(a);
        first = false;
      }
      text += "\r\n";
    }
  }
  text += "[REGISTRY]\r\n";
  for (int a = 0; a < per_kind; ++a)
    text += std::to_string(a) + "=DELVAL=HKEY_CURRENT_USER\\Software\\Bench\\Key" + std::to_string(a) +
            ",Value" + std::to_string(a) + "\r\n";
  text += "[DISK]\r\n";
  for (int a = 0; a < per_kind; ++a)
    text += std::to_string(a) + "=%APPDATA%\\Bench\\Folder" + std::to_string(a) + "\\*.tmp|*.log /X:keep.log /S\r\n";
  return text;
}

// One registry action whose key is `chars` characters long.
inline std::string GenerateLongLinePlugin(size_t chars) {
  return kBenchHeader + std::string("[REGISTRY]\r\n0=DELKEY=HKEY_USERS\\") + std::string(chars, 'x') + "\r\n";
}
