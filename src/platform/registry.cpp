#include "platform/registry.h"

namespace kestrel {

std::u16string RegValueText(const std::vector<uint8_t>& data) {
  return RegValueText(data.data(), data.size());
}

std::u16string RegValueText(const uint8_t* data, size_t size) {
  std::u16string text;
  text.reserve(size / 2);
  for (size_t i = 0; i + 1 < size; i += 2) {
    char16_t c = char16_t(data[i] | (data[i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

std::vector<uint8_t> RegTextData(std::u16string_view text) {
  std::vector<uint8_t> data;
  data.reserve(text.size() * 2 + 2);
  for (char16_t c : text) {
    data.push_back(uint8_t(c & 0xFF));
    data.push_back(uint8_t(c >> 8));
  }
  data.push_back(0);
  data.push_back(0);
  return data;
}

}  // namespace kestrel
