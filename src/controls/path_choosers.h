#pragma once
// The platform's choosers: the folder browser and the open-file and save-file
// dialogs. The program uses the Qt dialogs (QtPathChoosers); tests script the
// answers. Paths come back as the host (Linux) paths the user picked.

#include <QString>
#include <optional>

class QWidget;

namespace kestrel {

struct FileDialogRequest {
  QString title;           // empty: the dialog's own
  QString filter;          // "Plug-in Files (*.cln)"; empty: every file
  QString default_suffix;  // without the dot; added to a name typed without one
  QString folder;          // where the dialog opens; empty: its own choice
  QString file_name;       // proposed name
};

class PathChoosers {
 public:
  virtual ~PathChoosers() = default;
  // nullopt when the user cancels.
  virtual std::optional<QString> ChooseFolder(QWidget* owner) = 0;
  // An existing file.
  virtual std::optional<QString> ChooseOpenFile(QWidget* owner, const FileDialogRequest& request) = 0;
  virtual std::optional<QString> ChooseSaveFile(QWidget* owner, const FileDialogRequest& request) = 0;
};

class QtPathChoosers : public PathChoosers {
 public:
  std::optional<QString> ChooseFolder(QWidget* owner) override;
  std::optional<QString> ChooseOpenFile(QWidget* owner, const FileDialogRequest& request) override;
  std::optional<QString> ChooseSaveFile(QWidget* owner, const FileDialogRequest& request) override;
};

}  // namespace kestrel
