#pragma once
// Plug-in files as a stranger might hand them over: binary junk, text in an
// encoding the reader cannot tell, huge lines, huge counts and numbers out of
// range. Shared by the command-line and the editor tests; sizes are
// parameters so that manual runs can go further than the tests do.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace kestrel::testing {

// A valid [Settings] section, CRLF lines.
std::string HostileHeader();
// "0,1,...,count-1".
std::string MemberNumbers(size_t count);
// `size` random bytes, the same for the same seed.
std::string BinaryJunk(size_t size, unsigned seed = 8);
// A small valid plug-in in UTF-16 LE without its byte order mark.
std::string Utf16WithoutBom();
// One registry action whose key is `chars` characters long.
std::string LongActionLine(size_t chars);
// `count` registry actions, all named by one group line.
std::string ManyActions(int count);
// One registry action and a group line naming `members` numbers.
std::string ManyMembers(size_t members);
// A group line and an action key with numbers beyond 2^31 (and one below 0).
std::string HugeNumbers();
// A valid plug-in grown to `size` bytes with a hole (no disk space used).
std::filesystem::path WriteSparsePlugin(const std::filesystem::path& file, uint64_t size);

}  // namespace kestrel::testing
