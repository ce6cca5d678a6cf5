// Loading plug-in files through IniFile. A generated plug-in of N actions is
// read the way the test run reads it (header, group lines, every action key);
// a 200 MB file shows that cost and memory grow only linearly.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "platform/ini_file.h"
#include "platform/text.h"

namespace {

namespace fs = std::filesystem;
using kestrel::IniFile;

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "kestrel-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

constexpr int kMembersPerGroup = 100;

// A plug-in in the layout the writer produces: half registry, half file/folder
// actions, in groups of 100 members.
void WritePlugin(const fs::path& path, int actions) {
  std::ofstream out(path, std::ios::binary);
  out << "[Settings]\r\nPATH=C:\\Program Files\\Example\r\nDescription=Generated plug-in\r\n"
         "Provider=bench\r\nVersion=1.0\r\nEncrypted=0\r\nHIDEOPTION=0\r\n";
  const int registry = actions / 2, disk = actions - registry;
  auto groups = [&](const char* section, const char* title, int count) {
    out << "[" << section << "]\r\n";
    for (int g = 0; g * kMembersPerGroup < count; ++g) {
      out << g << "=" << title << " " << g << "<1>";
      for (int m = g * kMembersPerGroup; m < count && m < (g + 1) * kMembersPerGroup; ++m)
        out << (m % kMembersPerGroup ? "," : "") << m;
      out << "\r\n";
    }
  };
  groups("REG_OPTION", "Registry Actions", registry);
  groups("DISK_OPTION", "File/Folder Actions", disk);
  out << "[REGISTRY]\r\n";
  for (int k = 0; k < registry; ++k)
    out << k << "=DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Product" << k << "\\Recent,LastFile" << k << "\r\n";
  out << "[DISK]\r\n";
  for (int k = 0; k < disk; ++k) out << k << "=%APPDATA%\\Example\\Cache" << k << "\\*.log|*.tmp /S\r\n";
}

// Reads every group line and every action it names, with the test run's buffers.
long ReadLikeTheTestRun(const IniFile& ini) {
  std::u16string buffer;
  long chars = ini.ReadInt(u"Settings", u"Encrypted", 0);
  chars += ini.ReadString(u"Settings", u"PATH", u"NULL", 260, buffer);
  const std::pair<const char16_t*, const char16_t*> kinds[] = {{u"REG_OPTION", u"REGISTRY"}, {u"DISK_OPTION", u"DISK"}};
  for (const auto& [group_section, action_section] : kinds) {
    for (int g = 0;; ++g) {
      ini.ReadString(group_section, kestrel::FormatDecimal(g), u"NULL", 1024, buffer);
      if (buffer == u"NULL") break;
      size_t close = buffer.find(u'>');
      if (close == std::u16string::npos) break;
      for (const auto& member : kestrel::SplitList(std::u16string_view(buffer).substr(close + 1), u','))
        chars += ini.ReadString(action_section, member, u"NULL", 1024, buffer);
    }
  }
  return chars;
}

void BM_LoadPluginAndReadEveryKey(benchmark::State& state) {
  const int actions = int(state.range(0));
  TempFolder folder;
  const fs::path path = folder.path() / "generated.cln";
  WritePlugin(path, actions);
  for (auto _ : state) {
    IniFile ini(path);
    benchmark::DoNotOptimize(ReadLikeTheTestRun(ini));
  }
  state.SetItemsProcessed(state.iterations() * actions);
  state.counters["file_KB"] = double(fs::file_size(path)) / 1024;
}
BENCHMARK(BM_LoadPluginAndReadEveryKey)->Arg(2000)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

double PeakRssMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_maxrss) / 1024;
}

// 200 MB: range 0 is a plug-in of about two million keys, range 1 a sparse file
// of NUL bytes (what a broken copy leaves behind).
void BM_LoadLargeFile(benchmark::State& state) {
  constexpr uint64_t kSize = uint64_t(200) << 20;
  TempFolder folder;
  const fs::path path = folder.path() / "large.ini";
  if (state.range(0) == 0) {
    std::ofstream out(path, std::ios::binary);
    out << "[DISK]\r\n";
    uint64_t written = 8;
    for (int k = 0; written < kSize; ++k) {
      std::string line = std::to_string(k) + "=%APPDATA%\\Example\\Some Longer Folder Name\\Cache" +
                         std::to_string(k) + "\\*.log|*.tmp|*.bak /X:keep.log /S /C\r\n";
      out << line;
      written += line.size();
    }
  } else {
    std::ofstream(path, std::ios::binary).close();
    fs::resize_file(path, kSize);
  }
  const double rss_before = PeakRssMegabytes();
  for (auto _ : state) {
    IniFile ini(path);
    std::u16string buffer;
    benchmark::DoNotOptimize(ini.ReadString(u"DISK", u"1000000", u"NULL", 1024, buffer));
  }
  state.SetBytesProcessed(int64_t(state.iterations() * fs::file_size(path)));
  state.counters["peak_RSS_MB"] = PeakRssMegabytes();
  state.counters["RSS_growth_MB"] = PeakRssMegabytes() - rss_before;
}
BENCHMARK(BM_LoadLargeFile)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
