#include "platform/bulk_memory.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace kestrel {

namespace {

constexpr size_t kHugePage = size_t(2) << 20;
// Blocks from this size on are mapped directly and offered huge pages.
constexpr size_t kMapThreshold = kHugePage;
constexpr size_t kMaxBlock = size_t(64) << 20;

}  // namespace

BulkMemory::BulkMemory(size_t size) {
  if (size == 0) return;
  if (size >= kMapThreshold) {
    // Map one huge page more than needed so the block can start on a huge
    // page boundary.
    size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
    size_t total = rounded + kHugePage;
    void* map = ::mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (map != MAP_FAILED) {
      uintptr_t start = (reinterpret_cast<uintptr_t>(map) + kHugePage - 1) & ~(uintptr_t(kHugePage) - 1);
#ifdef MADV_HUGEPAGE
      ::madvise(reinterpret_cast<void*>(start), rounded, MADV_HUGEPAGE);
#endif
      map_ = map;
      map_size_ = total;
      data_ = reinterpret_cast<char*>(start);
      size_ = size;
      return;
    }
  }
  data_ = static_cast<char*>(::operator new(size, std::align_val_t(alignof(std::max_align_t))));
  size_ = size;
}

BulkMemory::~BulkMemory() { Release(); }

BulkMemory::BulkMemory(BulkMemory&& other) noexcept
    : data_(other.data_), size_(other.size_), map_(other.map_), map_size_(other.map_size_) {
  other.data_ = nullptr;
  other.map_ = nullptr;
  other.size_ = other.map_size_ = 0;
}

BulkMemory& BulkMemory::operator=(BulkMemory&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = other.data_;
    size_ = other.size_;
    map_ = other.map_;
    map_size_ = other.map_size_;
    other.data_ = nullptr;
    other.map_ = nullptr;
    other.size_ = other.map_size_ = 0;
  }
  return *this;
}

void BulkMemory::Release() {
  if (map_)
    ::munmap(map_, map_size_);
  else if (data_)
    ::operator delete(data_, std::align_val_t(alignof(std::max_align_t)));
  data_ = nullptr;
  map_ = nullptr;
  size_ = map_size_ = 0;
}

void* Arena::do_allocate(size_t bytes, size_t alignment) {
  if (bytes == 0) bytes = 1;
  uintptr_t at = (reinterpret_cast<uintptr_t>(next_) + alignment - 1) & ~(uintptr_t(alignment) - 1);
  if (next_ && at + bytes <= reinterpret_cast<uintptr_t>(end_)) {
    next_ = reinterpret_cast<char*>(at + bytes);
    return reinterpret_cast<void*>(at);
  }
  // Something as big as a block gets a block of its own; the current block
  // stays in use for what comes next.
  if (bytes + alignment > block_size_ / 2) {
    blocks_.emplace_back(bytes + alignment);
    uintptr_t start = reinterpret_cast<uintptr_t>(blocks_.back().data());
    return reinterpret_cast<void*>((start + alignment - 1) & ~(uintptr_t(alignment) - 1));
  }
  blocks_.emplace_back(block_size_);
  next_ = blocks_.back().data();
  end_ = next_ + block_size_;
  if (block_size_ < kMaxBlock) block_size_ *= 2;
  at = (reinterpret_cast<uintptr_t>(next_) + alignment - 1) & ~(uintptr_t(alignment) - 1);
  next_ = reinterpret_cast<char*>(at + bytes);
  return reinterpret_cast<void*>(at);
}

std::u16string_view Arena::Copy(std::u16string_view text) {
  if (text.empty()) return {};
  auto* out = static_cast<char16_t*>(allocate(text.size() * sizeof(char16_t), alignof(char16_t)));
  std::memcpy(out, text.data(), text.size() * sizeof(char16_t));
  return {out, text.size()};
}

const uint8_t* Arena::Copy(const uint8_t* bytes, size_t size) {
  if (size == 0) return nullptr;
  auto* out = static_cast<uint8_t*>(allocate(size, 1));
  std::memcpy(out, bytes, size);
  return out;
}

bool ReadBulkFile(const std::filesystem::path& path, uint64_t max_bytes, BulkFile& file, std::string& reason) {
  file = BulkFile();
  reason.clear();
  const std::string quoted = "\"" + path.string() + "\"";
  // O_NONBLOCK keeps a FIFO from blocking the open; it is refused below anyway.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    reason = "cannot open " + quoted + ": " + std::strerror(errno);
    return false;
  }
  struct stat st {};
  bool ok = false;
  if (::fstat(fd, &st) != 0) {
    reason = "cannot examine " + quoted + ": " + std::strerror(errno);
  } else if (!S_ISREG(st.st_mode)) {
    reason = quoted + " is not a regular file";
  } else if (uint64_t(st.st_size) > max_bytes) {
    reason = quoted + " is too large (" + std::to_string(st.st_size) + " bytes)";
  } else {
    try {
      file.memory = BulkMemory(size_t(st.st_size));
      ok = true;
    } catch (const std::bad_alloc&) {
      reason = "not enough memory to read " + quoted;
    }
  }
  // A file that shrinks meanwhile ends early; one that grows is read as it was.
  while (ok && file.size < file.memory.size()) {
    ssize_t n = ::read(fd, file.memory.data() + file.size, file.memory.size() - file.size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      reason = "cannot read " + quoted + ": " + std::strerror(errno);
      ok = false;
    }
    if (n <= 0) break;
    file.size += size_t(n);
  }
  ::close(fd);
  if (!ok) file = BulkFile();
  return ok;
}

}  // namespace kestrel
