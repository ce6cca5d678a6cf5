#pragma once
// The main window with every outside service scripted: messages recorded and
// answered, file dialogs, started programs and modal dialogs answered from
// scripts, files in a temporary folder.

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <memory>
#include <string>

#include "controls/list_ctrl_category_groups.h"
#include "editor/editor_services.h"
#include "editor/kestrel_dlg.h"
#include "support/recording_starter.h"
#include "support/scripted_choosers.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_messages.h"

namespace kestrel::testing {

template <typename T>
T* Child(QObject* parent, const char* name) {
  T* child = parent->findChild<T*>(QString::fromLatin1(name));
  if (!child) qFatal("no child named %s", name);
  return child;
}

struct WindowFixture {
  WindowFixture() : services{messages, choosers, starter, "/nonexistent-prefix"} {
    window = std::make_unique<CKestrelDlg>(services, dialogs);
    window->show();
  }

  QString Path(const QString& name) const { return dir.filePath(name); }
  QString Write(const QString& name, const std::string& bytes) const {
    std::ofstream(Path(name).toStdString(), std::ios::binary) << bytes;
    return Path(name);
  }
  std::string Read(const QString& name) const {
    std::ifstream in(Path(name).toStdString(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  QLineEdit* Edit(const char* name) const { return Child<QLineEdit>(window.get(), name); }
  QPushButton* Button(const char* name) const { return Child<QPushButton>(window.get(), name); }
  CGroupedList& List() const { return window->ListCtrl().List(); }

  QTemporaryDir dir;
  ScriptedMessages messages;
  ScriptedChoosers choosers;
  RecordingStarter starter;
  ScriptedDialogs dialogs;
  EditorServices services;
  std::unique_ptr<CKestrelDlg> window;
};

}  // namespace kestrel::testing
