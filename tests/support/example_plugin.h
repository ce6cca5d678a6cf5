#pragma once
// A small plug-in file as the format describes it: header, one registry group
// and one file/folder group, one registry action and two file/folder actions.

namespace kestrel::testing {

inline constexpr char kExamplePlugin[] =
    "[Settings]\r\n"
    "Description=Removes the recent file list of the example editor\r\n"
    "Provider=someone\r\n"
    "Version=1.0\r\n"
    "Encrypted=0\r\n"
    "HIDEOPTION=1\r\n"
    "[REG_OPTION]\r\n"
    "0=Registry Actions<1>0\r\n"
    "[DISK_OPTION]\r\n"
    "0=File/Folder Actions<1>0,1\r\n"
    "[REGISTRY]\r\n"
    "0=DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile\r\n"
    "[DISK]\r\n"
    "0=%APPDATA%\\Example\\Logs\\*.log /S\r\n"
    "1=%APPDATA%\\Example\\Cache /E /R\r\n";

// The same plug-in as the writer saves it: file/folder actions first, since a
// document read from a file holds them first.
inline constexpr char kExamplePluginSaved[] =
    "[Settings]\r\n"
    "Description=Removes the recent file list of the example editor\r\n"
    "Provider=someone\r\n"
    "Version=1.0\r\n"
    "Encrypted=0\r\n"
    "HIDEOPTION=1\r\n"
    "[REG_OPTION]\r\n"
    "0=Registry Actions<1>0\r\n"
    "[DISK_OPTION]\r\n"
    "0=File/Folder Actions<1>0,1\r\n"
    "[DISK]\r\n"
    "0=%APPDATA%\\Example\\Logs\\*.log /S\r\n"
    "1=%APPDATA%\\Example\\Cache /E /R\r\n"
    "[REGISTRY]\r\n"
    "0=DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile\r\n";

}  // namespace kestrel::testing
