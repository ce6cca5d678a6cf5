#pragma once
// Memory for data that is built once and freed all at once: key trees of
// large hives and the file bytes they are parsed from. Big blocks ask the
// system for huge pages, which makes first use of many megabytes much
// cheaper than faulting them in page by page.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory_resource>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// One block of memory, from the system's page allocator when it is large.
class BulkMemory {
 public:
  BulkMemory() = default;
  explicit BulkMemory(size_t size);
  ~BulkMemory();
  BulkMemory(BulkMemory&& other) noexcept;
  BulkMemory& operator=(BulkMemory&& other) noexcept;
  BulkMemory(const BulkMemory&) = delete;
  BulkMemory& operator=(const BulkMemory&) = delete;

  char* data() const { return data_; }
  size_t size() const { return size_; }
  bool empty() const { return data_ == nullptr; }

 private:
  void Release();

  char* data_ = nullptr;
  size_t size_ = 0;
  void* map_ = nullptr;  // the whole mapping when mapped, else null
  size_t map_size_ = 0;
};

// A bump allocator: allocations are never given back one by one, everything
// goes when the arena does. Blocks grow from a few kilobytes, so small trees
// stay small.
class Arena : public std::pmr::memory_resource {
 public:
  Arena() = default;
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;

  // Copies into the arena.
  std::u16string_view Copy(std::u16string_view text);
  const uint8_t* Copy(const uint8_t* bytes, size_t size);

 private:
  void* do_allocate(size_t bytes, size_t alignment) override;
  void do_deallocate(void*, size_t, size_t) override {}
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }

  std::vector<BulkMemory> blocks_;
  char* next_ = nullptr;
  char* end_ = nullptr;
  size_t block_size_ = 4096;
};

// The bytes of a whole regular file, in bulk memory.
struct BulkFile {
  BulkMemory memory;
  size_t size = 0;
  std::string_view View() const { return {memory.data(), size}; }
};

// Reads the regular file at `path` (at most `max_bytes`). False with a reason
// when it is missing, not a regular file, too large or unreadable.
bool ReadBulkFile(const std::filesystem::path& path, uint64_t max_bytes, BulkFile& file, std::string& reason);

}  // namespace kestrel
