#include "controls/path_choosers.h"

#include <QFileDialog>

namespace kestrel {
namespace {

std::optional<QString> RunFileDialog(QWidget* owner, const FileDialogRequest& request, bool save) {
  QFileDialog dialog(owner, request.title, request.folder, request.filter);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!request.default_suffix.isEmpty()) dialog.setDefaultSuffix(request.default_suffix);
  if (!request.file_name.isEmpty()) dialog.selectFile(request.file_name);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first();
}

}  // namespace

std::optional<QString> QtPathChoosers::ChooseFolder(QWidget* owner) {
  const QString folder = QFileDialog::getExistingDirectory(owner);
  if (folder.isEmpty()) return std::nullopt;
  return folder;
}

std::optional<QString> QtPathChoosers::ChooseOpenFile(QWidget* owner, const FileDialogRequest& request) {
  return RunFileDialog(owner, request, false);
}

std::optional<QString> QtPathChoosers::ChooseSaveFile(QWidget* owner, const FileDialogRequest& request) {
  return RunFileDialog(owner, request, true);
}

}  // namespace kestrel
