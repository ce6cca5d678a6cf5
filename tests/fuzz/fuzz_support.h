#pragma once
// Shared by the fuzz programs: turning bytes into text and failing loudly when
// a property breaks (libFuzzer keeps the input that aborted).

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace kestrel::fuzz {

inline std::string_view Bytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// UTF-8 input; invalid sequences become U+FFFD as they do everywhere else.
inline std::u16string Text(const uint8_t* data, size_t size) { return FromUtf8(Bytes(data, size)); }

// Splits the input at its first NUL byte into two texts (the second is empty
// when there is none).
inline std::pair<std::u16string, std::u16string> TwoTexts(const uint8_t* data, size_t size) {
  std::string_view all = Bytes(data, size);
  size_t nul = all.find('\0');
  if (nul == std::string_view::npos) return {FromUtf8(all), {}};
  return {FromUtf8(all.substr(0, nul)), FromUtf8(all.substr(nul + 1))};
}

// A fresh folder for one input, removed afterwards; in memory where the
// machine offers it, since saving flushes to disk every time.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::error_code ec;
    std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                     ? std::filesystem::path("/dev/shm")
                                     : std::filesystem::temp_directory_path();
    std::string templ = (base / "kestrel-fuzz-XXXXXX").string();
    if (!mkdtemp(templ.data())) std::abort();
    path_ = templ;
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
}

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

[[noreturn]] inline void Fail(const char* what, std::u16string_view a = {}, std::u16string_view b = {}) {
  std::fprintf(stderr, "property broken: %s\n  first:  [%s]\n  second: [%s]\n", what, ToUtf8(a).c_str(),
               ToUtf8(b).c_str());
  std::abort();
}

inline void Expect(bool ok, const char* what, std::u16string_view a = {}, std::u16string_view b = {}) {
  if (!ok) Fail(what, a, b);
}

}  // namespace kestrel::fuzz
