#pragma once
// EditorDialogs for widget tests: each dialog answers from its own script (an
// exhausted script cancels) and every run is remembered with what it was given.

#include <QString>
#include <deque>
#include <optional>
#include <vector>

#include "editor/editor_dialogs.h"

namespace kestrel::testing {

class ScriptedDialogs : public EditorDialogs {
 public:
  template <typename Record>
  struct Run {
    Record action;
    int group_id = 0;
  };

  std::optional<RegistryActionChoice> RunRegistryActionDialog(QWidget*, const CGroupedList&, const REGACTION& action,
                                                              int group_id) override {
    registry_runs.push_back({action, group_id});
    return Next(registry_answers);
  }
  std::optional<FileFolderActionChoice> RunFileFolderActionDialog(QWidget*, const CGroupedList&,
                                                                  const DISKACTION& action, int group_id) override {
    file_folder_runs.push_back({action, group_id});
    return Next(file_folder_answers);
  }
  std::optional<bool> RunGroupsDialog(QWidget*, CGroupedList&, bool show_groups) override {
    groups_runs.push_back(show_groups);
    return Next(groups_answers);
  }
  void RunAboutDialog(QWidget*) override { ++about_runs; }

  std::deque<std::optional<RegistryActionChoice>> registry_answers;
  std::deque<std::optional<FileFolderActionChoice>> file_folder_answers;
  std::deque<std::optional<bool>> groups_answers;

  std::vector<Run<REGACTION>> registry_runs;
  std::vector<Run<DISKACTION>> file_folder_runs;
  std::vector<bool> groups_runs;
  int about_runs = 0;

 private:
  template <typename T>
  static std::optional<T> Next(std::deque<std::optional<T>>& answers) {
    if (answers.empty()) return std::nullopt;
    std::optional<T> answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace kestrel::testing
