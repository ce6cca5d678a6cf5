#pragma once
// PathChoosers for widget tests: answers from a script, one per call, and
// remembers what was asked. A null QString in the script, or an exhausted
// script, cancels.

#include <deque>
#include <optional>
#include <vector>

#include "controls/path_choosers.h"

namespace kestrel::testing {

class ScriptedChoosers : public PathChoosers {
 public:
  enum Kind { kFolder, kOpenFile, kSaveFile };

  std::optional<QString> ChooseFolder(QWidget*) override { return Next(kFolder, {}); }
  std::optional<QString> ChooseOpenFile(QWidget*, const FileDialogRequest& request) override {
    return Next(kOpenFile, request);
  }
  std::optional<QString> ChooseSaveFile(QWidget*, const FileDialogRequest& request) override {
    return Next(kSaveFile, request);
  }

  std::deque<QString> answers;
  std::vector<Kind> asked;
  std::vector<FileDialogRequest> requests;

 private:
  std::optional<QString> Next(Kind kind, const FileDialogRequest& request) {
    asked.push_back(kind);
    requests.push_back(request);
    if (answers.empty()) return std::nullopt;
    const QString answer = answers.front();
    answers.pop_front();
    if (answer.isNull()) return std::nullopt;
    return std::optional<QString>(answer);
  }
};

}  // namespace kestrel::testing
