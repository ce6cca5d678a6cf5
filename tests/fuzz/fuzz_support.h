#pragma once
// Shared by the fuzz programs: turning bytes into text and failing loudly when
// a property breaks (libFuzzer keeps the input that aborted).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

[[noreturn]] inline void Fail(const char* what, std::u16string_view a = {}, std::u16string_view b = {}) {
  std::fprintf(stderr, "property broken: %s\n  first:  [%s]\n  second: [%s]\n", what, ToUtf8(a).c_str(),
               ToUtf8(b).c_str());
  std::abort();
}

inline void Expect(bool ok, const char* what, std::u16string_view a = {}, std::u16string_view b = {}) {
  if (!ok) Fail(what, a, b);
}

}  // namespace kestrel::fuzz
