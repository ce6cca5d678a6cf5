#pragma once
// A plug-in and a small Wine prefix that it finds things in, for the README's
// screenshots and the end-to-end test of the editor.

#include <string>

#include "platform/prefix_system_info.h"
#include "platform/text.h"
#include "support/prefix_builder.h"

namespace kestrel::testing {

inline const char kSamplePlugin[] =
    "[Settings]\r\n"
    "Description=Removes the caches, logs and recent files of Example Editor\r\n"
    "Provider=Kestrel authors\r\n"
    "Version=1.2\r\n"
    "HIDEOPTION=0\r\n"
    "[REG_OPTION]\r\n"
    "0=Registry Actions<1>0,1\r\n"
    "1=Window layout<0>2\r\n"
    "[REGISTRY]\r\n"
    "0=DELVAL=HKEY_CURRENT_USER\\Software\\Example Editor\\Recent,LastFile\r\n"
    "1=DELKEY=HKEY_CURRENT_USER\\Software\\Example Editor\\Cache\r\n"
    "2=DELKEY=HKEY_CURRENT_USER\\Software\\Example Editor\\Layout\r\n"
    "[DISK_OPTION]\r\n"
    "0=File/Folder Actions<1>0\r\n"
    "1=Logs<1>1\r\n"
    "[DISK]\r\n"
    "0=%APPDATA%\\Example Editor\\Cache /E /R\r\n"
    "1=%APPDATA%\\Example Editor\\Logs\\*.log /S\r\n";

// What the sample plug-in finds, for the running user (whose name the test
// run takes from the system).
inline void AddSampleContent(PrefixBuilder& prefix) {
  const std::string user = ToUtf8(LoginName());
  prefix.AddWineLayout(user);
  prefix.SetString(PrefixBuilder::kUser, u"Software\\Example Editor\\Recent", u"LastFile", u"notes.txt");
  prefix.SetString(PrefixBuilder::kUser, u"Software\\Example Editor\\Recent", u"Other", u"todo.txt");
  prefix.SetDword(PrefixBuilder::kUser, u"Software\\Example Editor\\Cache\\Thumbs", u"Count", 3);
  prefix.AddKey(PrefixBuilder::kUser, u"Software\\Example Editor\\Layout");
  const std::string roaming = "users/" + user + "/AppData/Roaming/Example Editor/";
  prefix.AddFile(roaming + "Cache/page1.bin", std::string(4000, 'x'));
  prefix.AddFile(roaming + "Cache/page2.bin", std::string(9000, 'x'));
  prefix.AddFile(roaming + "Cache/thumbs/t1.png", std::string(1500, 'x'));
  prefix.AddFile(roaming + "Logs/editor.log", std::string(2500, 'l'));
  prefix.AddFile(roaming + "Logs/2024/march.log", std::string(700, 'l'));
  prefix.AddFile(roaming + "Logs/settings.ini", "[x]");
}

}  // namespace kestrel::testing
