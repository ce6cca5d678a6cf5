#pragma once
// A read-only registry in the shape of the Windows one: keys are opened with
// access rights, values and subkeys are enumerated by index, and every answer
// carries the Windows error code. Nothing here can write.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// Error codes as Windows reports them.
constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_ACCESS_DENIED = 5;
constexpr long ERROR_INVALID_HANDLE = 6;   // a closed key, a key of another registry
constexpr long ERROR_BAD_PATHNAME = 161;   // a path with a leading or doubled "\"
constexpr long ERROR_MORE_DATA = 234;
constexpr long ERROR_NO_MORE_ITEMS = 259;
constexpr long ERROR_BADKEY = 1010;

// The four predefined roots.
constexpr uint32_t HKEY_CLASSES_ROOT = 0x80000000u;
constexpr uint32_t HKEY_CURRENT_USER = 0x80000001u;
constexpr uint32_t HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr uint32_t HKEY_USERS = 0x80000003u;

// Access rights. Opening with any right that could change the key needs a key
// the running user could delete.
constexpr uint32_t KEY_QUERY_VALUE = 0x0001;
constexpr uint32_t KEY_SET_VALUE = 0x0002;
constexpr uint32_t KEY_CREATE_SUB_KEY = 0x0004;
constexpr uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr uint32_t KEY_NOTIFY = 0x0010;
constexpr uint32_t KEY_CREATE_LINK = 0x0020;
constexpr uint32_t DELETE = 0x00010000;
constexpr uint32_t READ_CONTROL = 0x00020000;
constexpr uint32_t WRITE_DAC = 0x00040000;
constexpr uint32_t WRITE_OWNER = 0x00080000;
constexpr uint32_t KEY_READ = 0x00020019;
constexpr uint32_t KEY_ALL_ACCESS = 0x000F003F;
constexpr uint32_t kWritingRights =
    KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | DELETE | WRITE_DAC | WRITE_OWNER;

// Value types.
constexpr uint32_t REG_NONE = 0;
constexpr uint32_t REG_SZ = 1;
constexpr uint32_t REG_EXPAND_SZ = 2;
constexpr uint32_t REG_BINARY = 3;
constexpr uint32_t REG_DWORD = 4;
constexpr uint32_t REG_LINK = 6;
constexpr uint32_t REG_MULTI_SZ = 7;
constexpr uint32_t REG_QWORD = 11;

// A value as stored: string types hold UTF-16 LE bytes with their terminator.
struct RegValue {
  std::u16string name;  // empty for the default value
  uint32_t type = REG_NONE;
  std::vector<uint8_t> data;
};

// The text of string data: up to the first terminator.
std::u16string RegValueText(const std::vector<uint8_t>& data);
std::u16string RegValueText(const uint8_t* data, size_t size);
// String data for a text, terminator included.
std::vector<uint8_t> RegTextData(std::u16string_view text);

// Back-end state of an open key.
struct RegKeyState {
  virtual ~RegKeyState() = default;
};

// A predefined root or an open key; closing is the destructor. Move-only.
class RegKey {
 public:
  RegKey() = default;
  static RegKey Root(uint32_t root) {
    RegKey k;
    k.root_ = root;
    return k;
  }
  explicit RegKey(std::unique_ptr<RegKeyState> state) : state_(std::move(state)) {}
  RegKey(RegKey&&) = default;
  RegKey& operator=(RegKey&&) = default;

  bool IsRoot() const { return root_ != 0; }
  uint32_t RootValue() const { return root_; }  // 0 for an opened key
  bool IsOpen() const { return root_ != 0 || state_ != nullptr; }
  RegKeyState* State() const { return state_.get(); }
  void Close() { state_.reset(); root_ = 0; }

 private:
  uint32_t root_ = 0;
  std::unique_ptr<RegKeyState> state_;
};

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens `path` (components separated by "\", matched without regard to case)
  // below `parent`, which is a root or an open key. An empty path opens the
  // parent itself again. ERROR_FILE_NOT_FOUND when missing, ERROR_ACCESS_DENIED
  // when `access` holds writing rights the user does not have.
  virtual long OpenKey(const RegKey& parent, std::u16string_view path, uint32_t access,
                       RegKey& out) const = 0;

  // Reads one value (empty name: the default value). `value` may be null to ask
  // only whether it exists. ERROR_MORE_DATA when the data exceed `max_bytes`.
  virtual long QueryValue(const RegKey& key, std::u16string_view name, RegValue* value,
                          size_t max_bytes = SIZE_MAX) const = 0;

  // Enumerates by index: values in stored order, subkeys in case-insensitive
  // sorted order. ERROR_NO_MORE_ITEMS past the end; ERROR_MORE_DATA when the
  // name needs `name_buffer_chars` or more characters (terminator included).
  virtual long EnumValue(const RegKey& key, uint32_t index, size_t name_buffer_chars,
                         std::u16string& name) const = 0;
  virtual long EnumKey(const RegKey& key, uint32_t index, size_t name_buffer_chars,
                       std::u16string& name) const = 0;

  // Convenience for callers that open below a root.
  long OpenKey(uint32_t root, std::u16string_view path, uint32_t access, RegKey& out) const {
    return OpenKey(RegKey::Root(root), path, access, out);
  }
};

}  // namespace kestrel
