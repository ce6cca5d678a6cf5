// Answers questions with the Windows functions themselves, for the
// differential tests: run under wine on a prefix, it reads a query file and
// writes one answer per query to standard output.
//
// Query lines: fields separated by tabs, each field escaped (see Escape).
//   ini_string FILE SECTION KEY DEFAULT SIZE -> COUNT  TEXT
//   ini_int    FILE SECTION KEY DEFAULT      -> NUMBER
//   ini_section FILE SECTION SIZE            -> COUNT  TEXT (NULs as \0)
//   reg_tree ROOT PATH [DEPTH] -> "K\tPATH" per key (DEPTH levels below PATH, 64 by default), "V\tNAME\tTYPE\tHEX" per value,
//                            "E\tPATH\tCODE" per key that cannot be read; then "."
//   expand TEXT SIZE      -> RESULT  TEXT (the text when RESULT fits SIZE)
//   folder CSIDL          -> HRESULT  PATH
//   windir | sysdir | user -> TEXT
//   env NAME              -> FOUND  TEXT
// Output is ASCII: everything else is escaped, so no code page gets in between.
//
// Built with mingw-w64 (x86_64-w64-mingw32-g++ -static); not part of the
// program.

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Escape(const wchar_t* text, size_t size) {
  std::string out;
  for (size_t i = 0; i < size; ++i) {
    unsigned c = unsigned(text[i]) & 0xFFFF;
    if (c == '\\') out += "\\\\";
    else if (c == '\t') out += "\\t";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == 0) out += "\\0";
    else if (c >= 0x20 && c < 0x7F) out += char(c);
    else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04X", c);
      out += buf;
    }
  }
  return out;
}

std::string Escape(const std::wstring& text) { return Escape(text.data(), text.size()); }

std::wstring Unescape(const std::string& field) {
  std::wstring out;
  for (size_t i = 0; i < field.size(); ++i) {
    char c = field[i];
    if (c != '\\' || i + 1 == field.size()) {
      out += wchar_t(static_cast<unsigned char>(c));
      continue;
    }
    char e = field[++i];
    switch (e) {
      case 't': out += L'\t'; break;
      case 'n': out += L'\n'; break;
      case 'r': out += L'\r'; break;
      case '0': out += L'\0'; break;
      case 'u':
        out += wchar_t(std::strtoul(field.substr(i + 1, 4).c_str(), nullptr, 16));
        i += 4;
        break;
      default: out += wchar_t(e);
    }
  }
  return out;
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

HKEY RootKey(const std::wstring& name) {
  if (name == L"HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
  if (name == L"HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
  if (name == L"HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
  if (name == L"HKEY_USERS") return HKEY_USERS;
  return nullptr;
}

void DumpKey(HKEY key, const std::wstring& path, int depth, int max_depth) {
  std::printf("K\t%s\n", Escape(path).c_str());
  std::vector<wchar_t> name(32768);
  for (DWORD i = 0;; ++i) {
    DWORD name_size = DWORD(name.size());
    LONG rc = RegEnumValueW(key, i, name.data(), &name_size, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS) {
      std::printf("E\t%s\tvalue %lu: %ld\n", Escape(path).c_str(), i, rc);
      break;
    }
    std::wstring value_name(name.data(), name_size);
    DWORD type = 0, size = 65536;
    std::vector<BYTE> data(size);
    rc = RegQueryValueExW(key, value_name.c_str(), nullptr, &type, data.data(), &size);
    if (rc == ERROR_MORE_DATA) {
      data.resize(size);
      rc = RegQueryValueExW(key, value_name.c_str(), nullptr, &type, data.data(), &size);
    }
    if (rc != ERROR_SUCCESS) {
      std::printf("E\t%s\tquery %s: %ld\n", Escape(path).c_str(), Escape(value_name).c_str(), rc);
      continue;
    }
    std::string hex;
    for (DWORD b = 0; b < size; ++b) {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%02x", data[b]);
      hex += buf;
    }
    std::printf("V\t%s\t%lu\t%s\n", Escape(value_name).c_str(), type, hex.c_str());
  }
  if (depth >= max_depth) return;
  for (DWORD i = 0;; ++i) {
    DWORD name_size = DWORD(name.size());
    LONG rc = RegEnumKeyExW(key, i, name.data(), &name_size, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS) {
      std::printf("E\t%s\tsubkey %lu: %ld\n", Escape(path).c_str(), i, rc);
      break;
    }
    std::wstring child_name(name.data(), name_size);
    std::wstring child_path = path.empty() ? child_name : path + L"\\" + child_name;
    HKEY child;
    rc = RegOpenKeyExW(key, child_name.c_str(), 0, KEY_READ, &child);
    if (rc != ERROR_SUCCESS) {
      std::printf("E\t%s\topen: %ld\n", Escape(child_path).c_str(), rc);
      continue;
    }
    DumpKey(child, child_path, depth + 1, max_depth);
    RegCloseKey(child);
  }
}

void Answer(const std::vector<std::string>& q) {
  const std::string& verb = q[0];
  auto arg = [&](size_t i) { return i < q.size() ? Unescape(q[i]) : std::wstring(); };
  auto number = [&](size_t i) { return i < q.size() ? std::atoi(q[i].c_str()) : 0; };
  if (verb == "ini_string") {
    int size = number(5);
    std::vector<wchar_t> buf(size_t(size) + 1, L'#');
    DWORD n = GetPrivateProfileStringW(arg(2).c_str(), arg(3).c_str(), arg(4).c_str(), buf.data(), DWORD(size),
                                       arg(1).c_str());
    std::printf("%lu\t%s\n", n, Escape(buf.data(), n <= DWORD(size) ? n : DWORD(size)).c_str());
  } else if (verb == "ini_int") {
    UINT n = GetPrivateProfileIntW(arg(2).c_str(), arg(3).c_str(), number(4), arg(1).c_str());
    std::printf("%d\n", int(n));
  } else if (verb == "ini_section") {
    int size = number(3);
    std::vector<wchar_t> buf(size_t(size) + 1, L'#');
    DWORD n = GetPrivateProfileSectionW(arg(2).c_str(), buf.data(), DWORD(size), arg(1).c_str());
    // The count may exceed the buffer (small sizes): print only the buffer.
    std::printf("%lu\t%s\n", n, Escape(buf.data(), n <= DWORD(size) ? n : DWORD(size)).c_str());
  } else if (verb == "reg_tree") {
    HKEY root = RootKey(arg(1)), key;
    LONG rc = RegOpenKeyExW(root, arg(2).c_str(), 0, KEY_READ, &key);
    if (rc == ERROR_SUCCESS) {
      DumpKey(key, L"", 0, q.size() > 3 ? number(3) : 64);
      RegCloseKey(key);
    } else {
      std::printf("E\t\topen: %ld\n", rc);
    }
    std::printf(".\n");
  } else if (verb == "expand") {
    int size = number(2);
    std::vector<wchar_t> buf(size_t(size) + 1, 0);
    DWORD n = ExpandEnvironmentStringsW(arg(1).c_str(), buf.data(), DWORD(size));
    std::printf("%lu\t%s\n", n, n && n <= DWORD(size) ? Escape(std::wstring(buf.data())).c_str() : "");
  } else if (verb == "folder") {
    wchar_t buf[MAX_PATH] = {};
    HRESULT hr = SHGetFolderPathW(nullptr, number(1), nullptr, SHGFP_TYPE_CURRENT, buf);
    std::printf("%ld\t%s\n", long(hr), hr == S_OK ? Escape(std::wstring(buf)).c_str() : "");
  } else if (verb == "windir" || verb == "sysdir") {
    wchar_t buf[MAX_PATH] = {};
    UINT n = verb == "windir" ? GetWindowsDirectoryW(buf, MAX_PATH) : GetSystemDirectoryW(buf, MAX_PATH);
    std::printf("%s\n", Escape(buf, n).c_str());
  } else if (verb == "user") {
    wchar_t buf[257] = {};
    DWORD n = 257;
    if (!GetUserNameW(buf, &n)) n = 1;
    std::printf("%s\n", Escape(buf, n - 1).c_str());
  } else if (verb == "env") {
    std::vector<wchar_t> buf(32768);
    DWORD n = GetEnvironmentVariableW(arg(1).c_str(), buf.data(), DWORD(buf.size()));
    std::printf("%d\t%s\n", n ? 1 : 0, Escape(buf.data(), n).c_str());
  } else {
    std::printf("?\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: probe QUERY_FILE\n");
    return 2;
  }
  FILE* in = std::fopen(argv[1], "rb");
  if (!in) {
    std::fprintf(stderr, "cannot open %s\n", argv[1]);
    return 2;
  }
  std::string line;
  for (int c; (c = std::fgetc(in)) != EOF;) {
    if (c != '\n') {
      line += char(c);
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) Answer(Split(line));
    line.clear();
  }
  if (!line.empty()) Answer(Split(line));
  std::fclose(in);
  return 0;
}
