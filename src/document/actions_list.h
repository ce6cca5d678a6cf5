#pragma once
// The actions list of the editor without its window: the rows of the grouped
// list kept in step with the document's actions, the group subtitles, the
// enabled state of the buttons that depend on the rows, and the commands that
// add, edit and remove actions. The action dialogs run in the window layer;
// the commands here take the record a dialog returned.

#include <functional>
#include <optional>

#include "document/action_text.h"
#include "document/grouped_list.h"
#include "document/plugin_document.h"
#include "document/row_texts.h"
#include "platform/message_sink.h"

namespace kestrel {

// Buttons whose enabled state follows the list.
struct ActionButtons {
  bool edit_remove = false;  // exactly one row selected
  bool save_test = false;    // at least one row
};

// What the window does for the list.
class ActionsListView {
 public:
  virtual ~ActionsListView() = default;
  virtual void ButtonsChanged(const ActionButtons& /*buttons*/) {}
  // Fit the columns to their widest texts ("Action", "Pattern", then "Path").
  virtual void SizeColumns() {}
};

// The selected row's action, parsed, as the edit dialogs are given it.
struct EditRequest {
  int row = -1;
  int action_index = -1;
  ParsedAction parsed;  // kRegistry or kFileFolder
  int group_id = 0;
};

class ActionsList : private GroupedListObserver {
 public:
  ActionsList(PluginDocument& document, CGroupedList& list, MessageSink& messages);
  ~ActionsList() override;
  ActionsList(const ActionsList&) = delete;
  ActionsList& operator=(const ActionsList&) = delete;

  PluginDocument& Document() { return document_; }
  const PluginDocument& Document() const { return document_; }
  CGroupedList& List() { return list_; }
  const CGroupedList& List() const { return list_; }
  MessageSink& Messages() { return messages_; }

  void SetView(ActionsListView* view) { view_ = view; }
  ActionsListView* View() const { return view_; }
  const ActionButtons& Buttons() const { return buttons_; }

  // Appends a row for the action at `action_index` under `group_id`, unticked;
  // says "Error: group not found" when the list has no such group, and
  // inserts the row all the same. Returns the row.
  int InsertRegistryRow(int action_index, const REGACTION& action, int group_id);
  int InsertFileFolderRow(int action_index, const DISKACTION& action, int group_id);
  // Rows whose action parses as a registry action (registry = true) or not.
  int CountActionsOfKind(bool registry) const;
  // Group subtitles "Actions: %d" and the enabled state of the buttons.
  void RefreshList();

  // The add commands after their dialog ended with OK: `returned` is the
  // dialog's record, `group_id` the group chosen in it.
  void AddRegistryAction(const REGACTION& returned, int group_id);
  void AddFileFolderAction(DISKACTION returned, int group_id);
  // The selected row's action for its dialog; nullopt when no row is selected
  // or its action parses as neither kind (no dialog opens then).
  std::optional<EditRequest> BeginEdit() const;
  // Edit after the dialog ended with OK (after Cancel the window just runs
  // RefreshList).
  void EditAction(const EditRequest& request, const REGACTION& returned, int group_id);
  void EditAction(const EditRequest& request, DISKACTION returned, int group_id);
  void RemoveAction();

  // While one lives, row changes neither set the modified flag nor refresh:
  // for commands that change many rows and refresh once at the end.
  class Quiet {
   public:
    explicit Quiet(ActionsList& list) : list_(list) { ++list_.quiet_; }
    ~Quiet() { --list_.quiet_; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

   private:
    ActionsList& list_;
  };

 private:
  // A check box change sets the modified flag; every change refreshes.
  void RowChanged(int row, unsigned fields, int old_group_id) override;
  void SelectionChanged(int old_row, int new_row) override;

  int AppendRow(int action_index, int image, RowTexts texts, int group_id);
  void SetRowTexts(int row, const RowTexts& texts);
  // The request still names a row and its action.
  bool StillSelected(const EditRequest& request) const;

  PluginDocument& document_;
  CGroupedList& list_;
  MessageSink& messages_;
  ActionsListView* view_ = nullptr;
  ActionButtons buttons_;
  int quiet_ = 0;
};

}  // namespace kestrel
