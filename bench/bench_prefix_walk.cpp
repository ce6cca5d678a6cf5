// Walking a prefix's disk through Windows paths: a tree of 20,000 files
// (KESTREL_BENCH_FILES=200000 for the figure) listed folder by folder with ListFolder,
// every file's size read, against `find -printf '%s'` over the same tree in
// the same run. The counter ratio_to_find is the walk's time over find's.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "platform/prefix_file_system.h"

namespace {

namespace fs = std::filesystem;
using kestrel::FolderEntry;
using kestrel::PrefixFileSystem;

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

// A prefix whose C:\walk holds `files` files, 500 to a folder, in folders
// nested two deep (20 per level), names in mixed case.
struct Tree {
  explicit Tree(long files) : files(files) {
    fs::create_directories(root.path() / "dosdevices");
    fs::create_symlink("../drive_c", root.path() / "dosdevices" / "c:");
    const fs::path walk = root.path() / "drive_c" / "walk";
    long made = 0;
    for (int a = 0; made < files; ++a) {
      for (int b = 0; b < 20 && made < files; ++b) {
        fs::path folder = walk / ("Group" + std::to_string(a)) / ("Sub" + std::to_string(b));
        fs::create_directories(folder);
        for (int f = 0; f < 500 && made < files; ++f, ++made) {
          std::string name = (folder / ("File_" + std::to_string(f) + (f % 2 ? ".LOG" : ".tmp"))).string();
          int fd = ::open(name.c_str(), O_CREAT | O_WRONLY, 0644);
          if (fd < 0) throw std::runtime_error("cannot create " + name);
          if (f % 7 == 0 && ::write(fd, "data", 4) != 4) throw std::runtime_error("cannot write");
          ::close(fd);
        }
      }
    }
  }
  TempFolder root;
  long files;
};

const Tree& SharedTree() {
  const char* configured = std::getenv("KESTREL_BENCH_FILES");
  static const Tree tree(configured ? std::atol(configured) : 20000);
  return tree;
}

void Walk(const PrefixFileSystem& files, const std::u16string& folder, uint64_t& count, uint64_t& bytes) {
  std::vector<FolderEntry> entries;
  if (!files.ListFolder(folder, entries)) return;
  for (size_t i = 2; i < entries.size(); ++i) {
    if (entries[i].is_folder) {
      Walk(files, folder + u"\\" + entries[i].name, count, bytes);
    } else {
      ++count;
      bytes += entries[i].size;
    }
  }
}

double FindSeconds(const fs::path& folder) {
  const std::string command = "find '" + folder.string() + "' -printf '%s\\n' >/dev/null";
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) throw std::runtime_error("find failed");
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

void BM_WalkPrefixAgainstFind(benchmark::State& state) {
  const Tree& tree = SharedTree();
  PrefixFileSystem files(tree.root.path());
  const double find_seconds = FindSeconds(tree.root.path() / "drive_c" / "walk");
  uint64_t count = 0, bytes = 0;
  double walk_seconds = 0;
  for (auto _ : state) {
    count = bytes = 0;
    auto start = std::chrono::steady_clock::now();
    Walk(files, u"C:\\WALK", count, bytes);
    walk_seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  if (long(count) != tree.files) state.SkipWithError("the walk missed files");
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(count));
  state.counters["files"] = double(count);
  state.counters["find_ms"] = find_seconds * 1000;
  state.counters["ratio_to_find"] = walk_seconds / double(state.iterations()) / find_seconds;
}
BENCHMARK(BM_WalkPrefixAgainstFind)->Unit(benchmark::kMillisecond)->UseRealTime();

// Resolving paths whose spelling differs from the disk's in case: each call
// searches the folders where the exact spelling fails.
void BM_AttributesWithoutRegardToCase(benchmark::State& state) {
  const Tree& tree = SharedTree();
  PrefixFileSystem files(tree.root.path());
  const std::u16string exact = u"C:\\walk\\Group0\\Sub3\\File_17.LOG";
  const std::u16string other_case = u"c:\\WALK\\group0\\SUB3\\file_17.log";
  const bool mixed = state.range(0) != 0;
  for (auto _ : state) benchmark::DoNotOptimize(files.Attributes(mixed ? other_case : exact));
}
BENCHMARK(BM_AttributesWithoutRegardToCase)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
