#pragma once
// The plug-in file writer: the document and the groups and check marks of its
// actions list, written as a plug-in file in one atomic step.

#include <string>

#include "document/grouped_list.h"
#include "document/plugin_document.h"
#include "platform/message_sink.h"

namespace kestrel {

enum class WriteResult {
  kWritten,
  kNothingToWrite,  // no actions, or no rows in the list: the file is not touched
  kFailed,          // said so to the author; the old file is untouched
};

// Action strings longer than this are written with a warning.
constexpr size_t kLongActionChars = 512;

// Writes the document to `path`, replacing whatever file is there. Numbers the
// actions afresh (keys 0, 1, ... of "REGISTRY" and "DISK" in document order),
// writes the group lines of the groups that hold rows, and clears the modified
// flag when the file is written. The current path and the Filename field are
// left to the caller.
WriteResult WritePlugin(PluginDocument& document, const CGroupedList& list, const std::u16string& path,
                        MessageSink& messages);

}  // namespace kestrel
