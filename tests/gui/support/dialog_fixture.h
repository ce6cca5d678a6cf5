#pragma once
// What an action dialog test needs around the dialog: recorded messages,
// scripted choosers, a program starter that starts nothing, and an actions
// list with the two default groups and a few of the author's.

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

#include "document/grouped_list.h"
#include "editor/editor_services.h"
#include "support/recording_starter.h"
#include "support/scripted_choosers.h"
#include "support/scripted_messages.h"

namespace kestrel::testing {

struct DialogFixture {
  DialogFixture() {
    list.EnableGroupView(true);
    list.AddGroup(0, list.GroupCount(), u"Registry Actions");
    list.AddGroup(1, list.GroupCount(), u"File/Folder Actions");
    list.AddGroup(2, list.GroupCount(), u"Browsers");
    list.AddGroup(3, list.GroupCount(), u"Logs");
    list.AddGroup(4, list.GroupCount(), u"Recent files");
    starter.installed.insert(QStringLiteral("wine"), QStringLiteral("/usr/bin/wine"));
  }

  ScriptedMessages messages;
  ScriptedChoosers choosers;
  RecordingStarter starter;
  EditorServices services{messages, choosers, starter, "/home/joe/.wine"};
  CGroupedList list;
};

template <typename T>
T* Child(QWidget* parent, const char* name) {
  T* child = parent->findChild<T*>(QString::fromLatin1(name));
  if (!child) qFatal("no child %s", name);
  return child;
}

inline QStringList Entries(QComboBox* choice) {
  QStringList out;
  for (int i = 0; i < choice->count(); ++i) out << choice->itemText(i);
  return out;
}

// The names of the given children that are enabled.
inline QStringList EnabledOf(QWidget* parent, const QStringList& names) {
  QStringList out;
  for (const QString& name : names)
    if (Child<QWidget>(parent, name.toLatin1().constData())->isEnabled()) out << name;
  return out;
}

}  // namespace kestrel::testing
