#pragma once
// The modal dialogs the main window runs, behind one interface: the program
// runs the real dialogs (QtEditorDialogs), widget tests answer from a script
// without entering a modal loop.

#include <optional>

#include "document/disk_action.h"
#include "document/registry_action.h"

class QWidget;

namespace kestrel {

class CGroupedList;
struct EditorServices;

struct RegistryActionChoice {
  REGACTION action;
  int group_id = 0;
};

struct FileFolderActionChoice {
  DISKACTION action;
  int group_id = 0;
};

class EditorDialogs {
 public:
  virtual ~EditorDialogs() = default;
  // The registry action dialog on a copy of `action`, `group_id` preselected,
  // the groups taken from `groups`. nullopt after Cancel.
  virtual std::optional<RegistryActionChoice> RunRegistryActionDialog(QWidget* parent, const CGroupedList& groups,
                                                                      const REGACTION& action, int group_id) = 0;
  virtual std::optional<FileFolderActionChoice> RunFileFolderActionDialog(QWidget* parent, const CGroupedList& groups,
                                                                          const DISKACTION& action, int group_id) = 0;
  // The Groups dialog working on `groups`; after OK its "Show groups" box,
  // nullopt after Cancel (group additions and removals stay either way).
  virtual std::optional<bool> RunGroupsDialog(QWidget* parent, CGroupedList& groups, bool show_groups) = 0;
  virtual void RunAboutDialog(QWidget* parent) = 0;
};

class QtEditorDialogs : public EditorDialogs {
 public:
  explicit QtEditorDialogs(EditorServices& services) : services_(services) {}

  std::optional<RegistryActionChoice> RunRegistryActionDialog(QWidget* parent, const CGroupedList& groups,
                                                              const REGACTION& action, int group_id) override;
  std::optional<FileFolderActionChoice> RunFileFolderActionDialog(QWidget* parent, const CGroupedList& groups,
                                                                  const DISKACTION& action, int group_id) override;
  std::optional<bool> RunGroupsDialog(QWidget* parent, CGroupedList& groups, bool show_groups) override;
  void RunAboutDialog(QWidget* parent) override;

 private:
  EditorServices& services_;
};

}  // namespace kestrel
