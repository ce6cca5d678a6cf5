#pragma once
// A document with its headless actions list, messages recorded, in a
// temporary folder: what the reader, the writer and the list commands need.

#include <gtest/gtest.h>

#include <string>

#include "document/actions_list.h"
#include "document/plugin_reader.h"
#include "document/plugin_writer.h"
#include "platform/text.h"
#include "support/scripted_messages.h"
#include "support/temp_dir.h"

namespace kestrel::testing {

class EditorFixture : public ::testing::Test {
 protected:
  EditorFixture() : actions(doc, list, messages) { NewPlugin(actions, u"author"); }

  std::u16string PathOf(const std::string& name) const { return FromUtf8((dir.path() / name).string()); }
  // Writes `bytes` as `name` and reads it.
  bool ReadText(const std::string& bytes, const std::string& name = "plugin.cln") {
    dir.Write(name, bytes);
    return ReadPlugin(actions, PathOf(name), u"author");
  }
  WriteResult Save(const std::string& name = "saved.cln") {
    return WritePlugin(doc, list, PathOf(name), messages);
  }
  std::string Saved(const std::string& name = "saved.cln") const { return dir.Read(name); }

  TempDir dir;
  PluginDocument doc;
  CGroupedList list;
  ScriptedMessages messages;
  ActionsList actions;
};

}  // namespace kestrel::testing
