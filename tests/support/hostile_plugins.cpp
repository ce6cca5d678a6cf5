#include "support/hostile_plugins.h"

#include <fstream>
#include <random>

#include "platform/text.h"
#include "platform/text_encoding.h"

namespace kestrel::testing {
namespace {

const char kOneAction[] = "[REGISTRY]\r\n0=DELKEY=HKEY_USERS\\x\r\n";

}  // namespace

std::string HostileHeader() {
  return "[Settings]\r\nDescription=d\r\nProvider=p\r\nVersion=1\r\nEncrypted="
         "0\r\nHIDEOPTION=0\r\n";
}

std::string MemberNumbers(size_t count) {
  std::string list;
  for (size_t i = 0; i < count; ++i) list += (i ? "," : "") + std::to_string(i);
  return list;
}

std::string BinaryJunk(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string junk(size, '\0');
  for (char& c : junk) c = char(random());
  return junk;
}

std::string Utf16WithoutBom() { return EncodeText(U(HostileHeader() + kOneAction), TextEncoding::kUtf16Le).substr(2); }

std::string LongActionLine(size_t chars) {
  return HostileHeader() + "[REGISTRY]\r\n0=DELKEY=HKEY_USERS\\" + std::string(chars, 'x') + "\r\n";
}

std::string ManyActions(int count) {
  std::string text = HostileHeader() + "[REG_OPTION]\r\n0=G<1>" + MemberNumbers(size_t(count)) + "\r\n[REGISTRY]\r\n";
  for (int i = 0; i < count; ++i)
    text += std::to_string(i) + "=DELKEY=HKEY_CURRENT_USER\\Software\\K" + std::to_string(i) + "\r\n";
  return text;
}

std::string ManyMembers(size_t members) {
  return HostileHeader() + "[REG_OPTION]\r\n0=G<1>" + MemberNumbers(members) + "\r\n" + kOneAction;
}

std::string HugeNumbers() {
  return HostileHeader() +
         "[REG_OPTION]\r\n0=G<1>0,2147483648,4294967296,99999999999999999999,-"
         "1\r\n" +
         kOneAction + "2147483648=DELKEY=HKEY_USERS\\y\r\n";
}

std::filesystem::path WriteSparsePlugin(const std::filesystem::path& file, uint64_t size) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << HostileHeader() << kOneAction;
  std::filesystem::resize_file(file, size);
  return file;
}

}  // namespace kestrel::testing
