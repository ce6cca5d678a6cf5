#include "platform/memory_registry.h"

#include <stdexcept>

namespace kestrel {

namespace {
constexpr uint32_t kRoots[4] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE,
                                HKEY_USERS};
}

MemoryRegistry::MemoryRegistry() {
  for (int i = 0; i < 4; ++i) {
    roots_[i] = std::make_shared<RegNode>();
    Mount({kRoots[i], u"", roots_[i], roots_[i].get()});
  }
}

RegNode& MemoryRegistry::Key(uint32_t root, std::u16string_view path) {
  if (root < HKEY_CLASSES_ROOT || root > HKEY_USERS)
    throw std::invalid_argument("MemoryRegistry: not one of the four roots");
  RegNode& key = *roots_[root - HKEY_CLASSES_ROOT]->Descend(path, true);
  return key;
}

MemoryRegistry& MemoryRegistry::AddKey(uint32_t root, std::u16string_view path) {
  Key(root, path);
  return *this;
}

MemoryRegistry& MemoryRegistry::SetValue(uint32_t root, std::u16string_view path,
                                         std::u16string_view name, uint32_t type,
                                         std::vector<uint8_t> data) {
  Key(root, path).SetValue(RegValue{std::u16string(name), type, std::move(data)});
  return *this;
}

MemoryRegistry& MemoryRegistry::SetString(uint32_t root, std::u16string_view path,
                                          std::u16string_view name, std::u16string_view text) {
  return SetValue(root, path, name, REG_SZ, RegTextData(text));
}

MemoryRegistry& MemoryRegistry::SetExpandString(uint32_t root, std::u16string_view path,
                                                std::u16string_view name,
                                                std::u16string_view text) {
  return SetValue(root, path, name, REG_EXPAND_SZ, RegTextData(text));
}

MemoryRegistry& MemoryRegistry::SetDword(uint32_t root, std::u16string_view path,
                                         std::u16string_view name, uint32_t number) {
  return SetValue(root, path, name, REG_DWORD,
                  {uint8_t(number), uint8_t(number >> 8), uint8_t(number >> 16),
                   uint8_t(number >> 24)});
}

MemoryRegistry& MemoryRegistry::SetBinary(uint32_t root, std::u16string_view path,
                                          std::u16string_view name, std::vector<uint8_t> bytes) {
  return SetValue(root, path, name, REG_BINARY, std::move(bytes));
}

MemoryRegistry& MemoryRegistry::SetMultiString(uint32_t root, std::u16string_view path,
                                               std::u16string_view name,
                                               const std::vector<std::u16string>& strings) {
  std::vector<uint8_t> data;
  for (const auto& s : strings) {
    auto part = RegTextData(s);
    data.insert(data.end(), part.begin(), part.end());
  }
  data.push_back(0);
  data.push_back(0);
  return SetValue(root, path, name, REG_MULTI_SZ, std::move(data));
}

MemoryRegistry& MemoryRegistry::SetNotDeletable(uint32_t root, std::u16string_view path) {
  Key(root, path).deletable = false;
  return *this;
}

MemoryRegistry& MemoryRegistry::AddLink(uint32_t root, std::u16string_view path,
                                        std::u16string_view target) {
  RegNode& key = Key(root, path);
  key.link = true;
  std::vector<uint8_t> data = RegTextData(target);
  data.resize(data.size() - 2);  // links are stored without a terminator
  key.SetValue(RegValue{u"SymbolicLinkValue", REG_LINK, std::move(data)});
  return *this;
}

}  // namespace kestrel
