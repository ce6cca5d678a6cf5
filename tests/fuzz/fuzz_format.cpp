// The plug-in reader and writer as "kestrel-cli format" runs them: read the
// input, write it out, read the written file and write it again. A file the
// reader accepts must be written; the written file must be read back and
// written again with the same sections, keys and values, so the document
// survived the trip. The order of whole sections is not compared: no reader
// depends on it, and the writer orders them by the first row of each kind.
//
// Files whose written actions include strings that no parser accepts are not
// compared further (see WrittenNonAction).
//
// An action stored in the other kind's section (a registry string under
// "DISK") is placed by the member lists of the kind it parses as, but ticked
// only by those of its section, so it can sit unticked in a group of its own.
// Saving moves it to its proper section, where nothing names it any more: the
// next read puts it in the default group. Such files are held to settle one
// write later: the second and third writes must agree.

#include <algorithm>

#include "document/action_text.h"
#include "document/actions_list.h"
#include "document/grouped_list.h"
#include "document/plugin_document.h"
#include "document/plugin_reader.h"
#include "document/plugin_writer.h"
#include "document/disk_action.h"
#include "document/registry_action.h"
#include "fuzz_support.h"
#include "platform/ini_file.h"
#include "platform/message_sink.h"
#include "platform/text_encoding.h"

using namespace kestrel;

namespace {

// Says No to every question and keeps the last warning.
class SilentMessages final : public MessageSink {
 public:
  void Warning(std::u16string_view text) override { last = text; }
  bool AskYesNo(std::u16string_view text) override {
    last = text;
    return false;
  }
  std::u16string last;
};

enum class Step { kRefused, kNothingToWrite, kWritten };

// True when an action of the document parses as the other kind than the
// section it was read from.
bool HoldsActionOfOtherKind(const PluginDocument& document) {
  for (int i = 0; i < document.actions.GetCount(); ++i) {
    const ActionClass parsed = ParseAction(document.actions[i].text).kind;
    if ((parsed == ActionClass::kRegistry && document.actions[i].kind != kRegistryKind) ||
        (parsed == ActionClass::kFileFolder && document.actions[i].kind != kFileFolderKind))
      return true;
  }
  return false;
}

Step Format(const std::filesystem::path& in, const std::filesystem::path& out, SilentMessages& messages,
            bool* other_kind = nullptr) {
  PluginDocument document;
  CGroupedList list;
  ActionsList actions(document, list, messages);
  if (!ReadPlugin(actions, FromUtf8(in.string()), std::u16string(u"fuzz"))) return Step::kRefused;
  if (other_kind) *other_kind = HoldsActionOfOtherKind(document);
  switch (WritePlugin(document, list, FromUtf8(out.string()), messages)) {
    case WriteResult::kWritten: return Step::kWritten;
    case WriteResult::kNothingToWrite: return Step::kNothingToWrite;
    case WriteResult::kFailed: break;
  }
  fuzz::Fail("writing failed", messages.last);
}

// Every section with its key=value lines, in file order within the section.
std::vector<std::pair<std::u16string, std::vector<std::u16string>>> Contents(const std::filesystem::path& file) {
  IniFile ini(file);
  std::vector<std::pair<std::u16string, std::vector<std::u16string>>> out;
  for (const std::u16string& section : ini.SectionNames()) out.emplace_back(section, ini.SectionLines(section));
  std::sort(out.begin(), out.end());
  return out;
}

// True when the writer stored an action string that neither parser accepts.
bool WrittenNonAction(const std::filesystem::path& file) {
  IniFile ini(file);
  for (const char16_t* section : {u"REGISTRY", u"DISK"})
    for (const std::u16string& line : ini.SectionLines(section)) {
      std::u16string text = line.substr(line.find(u'=') + 1);
      REGACTION reg;
      DISKACTION disk;
      if (!ParseRegAction(text, reg) && !ParseDiskAction(text, disk)) return true;
    }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ScratchFolder folder;
  const auto input = folder.path() / "input.cln";
  const auto first = folder.path() / "first.cln";
  const auto second = folder.path() / "second.cln";
  fuzz::WriteFile(input, fuzz::Bytes(data, size));
  SilentMessages messages;
  bool other_kind = false;
  if (Format(input, first, messages, &other_kind) != Step::kWritten) return 0;
  if (WrittenNonAction(first)) return 0;
  auto write_again = [&](const std::filesystem::path& from, const std::filesystem::path& to) {
    fuzz::Expect(Format(from, to, messages) == Step::kWritten, "the written file was not read back and written",
                 messages.last);
    fuzz::Expect(Contents(from) == Contents(to), "writing the file read back changed it",
                 DecodeText(fuzz::ReadFile(from)).text, DecodeText(fuzz::ReadFile(to)).text);
  };
  if (!other_kind) {
    write_again(first, second);
  } else {
    Format(first, second, messages);
    write_again(second, folder.path() / "third.cln");
  }
  return 0;
}
