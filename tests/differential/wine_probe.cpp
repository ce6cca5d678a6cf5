#include "differential/wine_probe.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/text.h"

namespace kestrel::testing {

namespace fs = std::filesystem;

namespace {

const fs::path kBinDir = KESTREL_BIN_DIR;

fs::path ProbeExe() { return kBinDir / "kestrel_probe.exe"; }

bool OnPath(const char* program) {
  std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

std::string Quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// The clean environment the prefix was made in (tests/wine/make_prefix.sh):
// Wine copies the Unix environment into the Windows one.
std::string WineEnv(const fs::path& prefix) {
  return "env -i PATH=/usr/local/bin:/usr/bin:/bin HOME=" + Quote(prefix.string() + ".home") +
         " WINEPREFIX=" + Quote(prefix.string()) + " WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= ";
}

struct State {
  std::string unavailable;
  fs::path prefix;
};

const State& TheState() {
  static const State state = [] {
    State s;
    const char* prefix = std::getenv("KESTREL_WINE_PREFIX");
    if (prefix) s.prefix = prefix;
    if (!OnPath("wine") || !OnPath("wineserver"))
      s.unavailable = "wine is not installed (scripts/deps.sh installs it)";
    else if (!fs::exists(ProbeExe()))
      s.unavailable = "the probe was not built: x86_64-w64-mingw32-g++ (package mingw-w64) is missing";
    else if (!prefix || !fs::exists(s.prefix / "system.reg"))
      s.unavailable = "no Wine prefix: ctest's wine_prefix fixture makes one and names it in KESTREL_WINE_PREFIX";
    return s;
  }();
  return state;
}

}  // namespace

std::string WineProbe::Unavailable() { return TheState().unavailable; }

const fs::path& WineProbe::Prefix() { return TheState().prefix; }

std::vector<std::string> WineProbe::Run(const std::vector<std::string>& queries) {
  ProbeFolder folder;
  std::string text;
  for (const std::string& q : queries) text += q + "\n";
  folder.Write("queries.txt", text);
  const fs::path output = folder.HostPath() / "answers.txt";
  std::string env = WineEnv(Prefix());
  std::string command = "cd " + Quote(folder.HostPath().string()) + " && timeout 300 " + env + "wine " +
                        Quote(ProbeExe().string()) + " " + Quote(ToUtf8(folder.WindowsPath("queries.txt"))) +
                        " >" + Quote(output.string()) + " 2>/dev/null; " + env +
                        "timeout 120 wineserver -w >/dev/null 2>&1";
  std::system(command.c_str());
  std::vector<std::string> lines;
  std::ifstream in(output, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  if (lines.empty()) ADD_FAILURE() << "the probe gave no answer: " << command;
  return lines;
}

std::string WineProbe::Escape(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) {
    if (c == u'\\') out += "\\\\";
    else if (c == u'\t') out += "\\t";
    else if (c == u'\n') out += "\\n";
    else if (c == u'\r') out += "\\r";
    else if (c == 0) out += "\\0";
    else if (c >= 0x20 && c < 0x7F) out += char(c);
    else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04X", unsigned(c));
      out += buf;
    }
  }
  return out;
}

std::u16string WineProbe::Unescape(std::string_view field) {
  std::u16string out;
  for (size_t i = 0; i < field.size(); ++i) {
    char c = field[i];
    if (c != '\\' || i + 1 == field.size()) {
      out += char16_t(static_cast<unsigned char>(c));
      continue;
    }
    char e = field[++i];
    switch (e) {
      case 't': out += u'\t'; break;
      case 'n': out += u'\n'; break;
      case 'r': out += u'\r'; break;
      case '0': out += u'\0'; break;
      case 'u':
        out += char16_t(std::strtoul(std::string(field.substr(i + 1, 4)).c_str(), nullptr, 16));
        i += 4;
        break;
      default: out += char16_t(e);
    }
  }
  return out;
}

ProbeFolder::ProbeFolder() {
  static int counter = 0;
  name_ = "kestrel-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  host_ = WineProbe::Prefix() / "drive_c" / name_;
  fs::create_directories(host_);
}

ProbeFolder::~ProbeFolder() {
  std::error_code ec;
  fs::remove_all(host_, ec);
}

std::u16string ProbeFolder::WindowsPath(std::string_view file) const {
  return U("C:\\" + name_ + "\\" + std::string(file));
}

fs::path ProbeFolder::Write(std::string_view file, std::string_view bytes) const {
  fs::path path = host_ / std::string(file);
  std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
  return path;
}

}  // namespace kestrel::testing
