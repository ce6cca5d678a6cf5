#pragma once
// The plug-in being edited: its header, its actions, the member lists last
// read from a file and the state the editor keeps about it. The groups and the
// row check boxes live in the actions list (CGroupedList) beside it.

#include <string>
#include <vector>

#include "document/records.h"

namespace kestrel {

struct PluginDocument {
  CActionArray actions;
  // The member-list text of every group line read, in key order: entry i
  // belongs to group id 2i (registry) or 2i+1 (file/folder).
  std::vector<std::u16string> registry_member_lists;
  std::vector<std::u16string> file_folder_member_lists;

  // Path of the file last read or saved; empty after New.
  std::u16string current_path;
  // The "Filename" box: proposes the name when saving.
  std::u16string filename_field;
  bool modified = true;

  std::u16string description;
  std::u16string version;
  std::u16string provider;

  // Extra header values: read from a file, written back when not empty, kept
  // by New, edited by nobody.
  std::u16string path;
  std::u16string icon;
  std::u16string path_must_exist;
  std::u16string verify;
  std::u16string warning;
  std::u16string name;

  // Stored in the file inverted, as HIDEOPTION.
  bool show_groups = false;
};

}  // namespace kestrel
