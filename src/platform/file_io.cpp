#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <system_error>

namespace kestrel {

namespace {

std::string Quoted(const std::filesystem::path& path) { return "\"" + path.string() + "\""; }

std::string ErrnoText(int error) { return std::strerror(error); }

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now and reports the error close gives (write-back failures show here).
  int Close() {
    int rc = ::close(fd_);
    fd_ = -1;
    return rc == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

}  // namespace

ReadResult ReadWholeFile(const std::filesystem::path& path, uint64_t max_bytes, FileBytes& bytes,
                         std::string& reason) {
  bytes = {};
  reason.clear();
  // O_NONBLOCK keeps a FIFO from blocking the open; it is refused below anyway.
  Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0) {
    int error = errno;
    if (error == ENOENT || error == ENOTDIR) return ReadResult::kMissing;
    reason = "Cannot open " + Quoted(path) + ": " + ErrnoText(error);
    return ReadResult::kFailed;
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) {
    reason = "Cannot examine " + Quoted(path) + ": " + ErrnoText(errno);
    return ReadResult::kFailed;
  }
  if (S_ISDIR(st.st_mode)) {
    reason = Quoted(path) + " is a folder";
    return ReadResult::kFailed;
  }
  if (!S_ISREG(st.st_mode)) {
    reason = Quoted(path) + " is not a regular file";
    return ReadResult::kFailed;
  }
  if (uint64_t(st.st_size) > max_bytes) {
    reason = Quoted(path) + " is too large (" + std::to_string(st.st_size) + " bytes)";
    return ReadResult::kFailed;
  }
  try {
    bytes.data = std::make_unique_for_overwrite<char[]>(size_t(st.st_size));
  } catch (const std::bad_alloc&) {
    reason = "Not enough memory to read " + Quoted(path);
    return ReadResult::kFailed;
  }
  // Reads what fstat announced; a file that shrinks meanwhile ends early, one
  // that grows is read as it was.
  const size_t want = size_t(st.st_size);
  size_t got = 0;
  while (got < want) {
    ssize_t n = ::read(fd.get(), bytes.data.get() + got, want - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      reason = "Cannot read " + Quoted(path) + ": " + ErrnoText(errno);
      bytes = {};
      return ReadResult::kFailed;
    }
    if (n == 0) break;
    got += size_t(n);
  }
  bytes.size = got;
  return ReadResult::kRead;
}

std::string ReadFileStart(const std::filesystem::path& path, size_t count) {
  std::string start;
  Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  struct stat st {};
  if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return start;
  start.resize(count);
  size_t got = 0;
  while (got < count) {
    ssize_t n = ::read(fd.get(), start.data() + got, count - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += size_t(n);
  }
  start.resize(got);
  return start;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string& reason) {
  reason.clear();
  std::error_code ec;
  std::filesystem::path target = path;
  if (std::filesystem::is_symlink(path, ec)) {
    auto resolved = std::filesystem::weakly_canonical(path, ec);
    if (!ec) target = resolved;
  }
  if (target.filename().empty()) {
    reason = Quoted(path) + " does not name a file";
    return false;
  }
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  // Renaming over a file needs only a writable folder; a read-only file is
  // meant to stay as it is, so it is refused like an open for writing would be.
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) && ::access(target.c_str(), W_OK) != 0) {
    reason = "Cannot replace " + Quoted(target) + ": " + ErrnoText(errno);
    return false;
  }

  std::string temp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  Fd fd(::mkstemp(temp.data()));
  if (fd.get() < 0) {
    reason = "Cannot create a temporary file in " + Quoted(folder) + ": " + ErrnoText(errno);
    return false;
  }
  auto fail = [&](const std::string& what, int error) {
    reason = what + ": " + ErrnoText(error);
    ::unlink(temp.c_str());
    return false;
  };

  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail("Cannot write " + Quoted(temp), errno);
    done += size_t(n);
  }
  // The replacement keeps the permissions of the file it replaces; a new file
  // gets the usual ones (mkstemp makes it private).
  mode_t mode;
  if (S_ISREG(existing.st_mode)) {
    mode = existing.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (::fchmod(fd.get(), mode) != 0) return fail("Cannot set the permissions of " + Quoted(temp), errno);
  if (::fsync(fd.get()) != 0) return fail("Cannot flush " + Quoted(temp), errno);
  if (int error = fd.Close()) return fail("Cannot write " + Quoted(temp), error);
  if (::rename(temp.c_str(), target.c_str()) != 0) return fail("Cannot replace " + Quoted(target), errno);

  // Makes the rename itself durable; a failure here loses nothing already written.
  Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  return true;
}

}  // namespace kestrel
