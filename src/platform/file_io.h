#pragma once
// Whole-file reading with a size limit and atomic replacement of a file, for
// the few files the program reads and writes itself (profiles).

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace kestrel {

enum class ReadResult { kRead, kMissing, kFailed };

// The bytes of a file. The buffer is not cleared before the read fills it,
// which matters for files of hundreds of megabytes.
struct FileBytes {
  std::unique_ptr<char[]> data;
  size_t size = 0;
  std::string_view View() const { return {data.get(), size}; }
};

// Reads the regular file at `path` into `bytes`. kMissing when nothing is there;
// kFailed with a reason when it cannot be read, is a folder or a device (never
// opened in a way that could block), or is larger than `max_bytes`.
ReadResult ReadWholeFile(const std::filesystem::path& path, uint64_t max_bytes, FileBytes& bytes,
                         std::string& reason);

// The first `count` bytes of the regular file at `path`, fewer when it is
// shorter; empty when it is missing, unreadable or no regular file (opened
// the same way as above, so a FIFO cannot block).
std::string ReadFileStart(const std::filesystem::path& path, size_t count);

// Replaces the file at `path` by `bytes`: writes a temporary file in the same
// folder, flushes it to disk and renames it over the target. A link is followed
// so that the file it points to is replaced; a read-only file is refused. On failure the old file is
// untouched, the temporary file removed, and the result is false with a reason.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string& reason);

}  // namespace kestrel
