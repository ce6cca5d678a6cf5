// Renders the editor's windows offscreen into PNG files, so that a reviewer
// can look at them without running the program:
//   kestrel_screenshots OUTPUT_FOLDER
// Each window is shown with typical content and grabbed (client area); the
// test dialog after a real run of a plug-in in a small prefix built for it.

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>

#include "controls/list_ctrl_category_groups.h"
#include "document/disk_action.h"
#include "document/grouped_list.h"
#include "document/registry_action.h"
#include "editor/add_disk_action_dlg.h"
#include "editor/add_reg_action_dlg.h"
#include "editor/editor_services.h"
#include "editor/groups_dlg.h"
#include "editor/kestrel_dlg.h"
#include "platform/text.h"
#include "support/recording_starter.h"
#include "support/sample_plugin.h"
#include "support/scripted_choosers.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_messages.h"
#include "testrun/dialog/test_dlg.h"

namespace kestrel {
namespace {

struct World {
  World() {
    starter.installed.insert(QStringLiteral("wine"), QStringLiteral("/usr/bin/wine"));
    }
  static void AddGroups(CGroupedList& groups) {
    groups.EnableGroupView(true);
    groups.AddGroup(0, groups.GroupCount(), u"Registry Actions");
    groups.AddGroup(1, groups.GroupCount(), u"File/Folder Actions");
    groups.AddGroup(2, groups.GroupCount(), u"Browser history");
    groups.AddGroup(3, groups.GroupCount(), u"Log files");
  }
  testing::ScriptedMessages messages;
  testing::ScriptedChoosers choosers;
  testing::RecordingStarter starter;
  testing::ScriptedDialogs dialogs;
  EditorServices services{messages, choosers, starter, "/home/user/.wine"};
  CGroupedList list;
  QTemporaryDir folder;
};

// A plug-in as an author keeps it: groups of both kinds, some of them off,
// ticked and unticked actions.
constexpr char kLoadedPlugin[] =
    "[Settings]\r\nDescription=Removes the traces of the example editor and its browser\r\n"
    "Provider=someone\r\nVersion=2.1\r\nEncrypted=0\r\nHIDEOPTION=0\r\n"
    "[REG_OPTION]\r\n0=Registry Actions<1>0,1\r\n1=Browser history<0>2\r\n"
    "[DISK_OPTION]\r\n0=File/Folder Actions<1>0\r\n1=Log files<1>1\r\n"
    "[DISK]\r\n0=%APPDATA%\\Example\\Cache /E /R\r\n"
    "1=%APPDATA%\\Example\\Logs\\*.log|*.tmp /X:keep.log /S /C\r\n"
    "2=INIFILE=%APPDATA%\\Example\\settings.ini|Recent|File1\r\n"
    "[REGISTRY]\r\n0=DELVAL=HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile\r\n"
    "1=DELKEY=HKEY_CURRENT_USER\\Software\\Example\\Cache\r\n"
    "2=DELLIST=HKEY_CURRENT_USER\\Software\\Browser\\TypedURLs,url\r\n"
    "3=EMPTYKEY=HKEY_CURRENT_USER\\Software\\Example\\MRU\r\n";

std::unique_ptr<QWidget> MainWindow(World& world, bool loaded) {
  auto window = std::make_unique<CKestrelDlg>(world.services, world.dialogs);
  if (loaded) {
    const QString path = world.folder.filePath(QStringLiteral("example.cln"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(kLoadedPlugin);
    file.close();
    window->ReadFile(path);
    window->ListCtrl().List().SelectRow(1);
  }
  return window;
}

std::unique_ptr<QWidget> GroupsDialog(World& world) {
  World::AddGroups(world.list);
  world.list.SetGroupChecked(2, 0);
  auto dialog = std::make_unique<CGroupsDlg>(world.messages);
  dialog->SetGroupedList(&world.list);
  dialog->SetShowGroups(true);
  return dialog;
}

template <typename T>
T Parsed(const char* text, int (*parse)(std::u16string_view, T&)) {
  T action;
  parse(U(text), action);
  return action;
}

std::unique_ptr<QWidget> RegistryDialog(World& world, const char* action) {
  World::AddGroups(world.list);
  auto dialog = std::make_unique<CAddRegActionDlg>(world.services);
  dialog->SetActionsList(&world.list);
  if (action) {
    dialog->SetAction(Parsed<REGACTION>(action, ParseRegAction));
    dialog->SetGroupId(2);
  }
  return dialog;
}

std::unique_ptr<QWidget> DiskDialog(World& world, const char* action) {
  World::AddGroups(world.list);
  auto dialog = std::make_unique<CAddDiskActionDlg>(world.services);
  dialog->SetActionsList(&world.list);
  if (action) {
    dialog->SetAction(Parsed<DISKACTION>(action, ParseDiskAction));
    dialog->SetGroupId(3);
  }
  return dialog;
}

std::unique_ptr<QWidget> ActionsListControl(World&) {
  auto control = std::make_unique<CListCtrl_Category_Groups>();
  CGroupedList& list = control->List();
  World::AddGroups(list);
  struct Row {
    int group;
    int image;
    const char16_t* texts[3];
    bool checked;
  };
  const Row rows[] = {
      {0, 1, {u"HKEY_CURRENT_USER\\Software\\Example\\Recent,LastFile", u"Delete Value", u"LastFile"}, true},
      {0, 1, {u"HKEY_CURRENT_USER\\Software\\Example\\Cache", u"Delete Key", u""}, true},
      {2, 1, {u"HKEY_CURRENT_USER\\Software\\Browser\\TypedURLs,url", u"Delete Value list with Pattern", u"url"}, false},
      {1, 0, {u"%APPDATA%\\Example\\Cache", u"Empty the Folder", u""}, true},
      {3, 0, {u"%APPDATA%\\Example\\Logs", u"Delete Files", u"*.log|*.tmp, But exclude: keep.log"}, true},
      {3, 0, {u"%APPDATA%\\Example\\settings.ini", u"Delete INI Key", u""}, false},
  };
  for (const Row& r : rows) {
    ListRow row;
    row.group_id = r.group;
    row.image = r.image;
    row.checked = r.checked;
    for (int c = 0; c < 3; ++c) row.texts[size_t(c)] = r.texts[c];
    list.AppendRow(std::move(row));
  }
  for (int p = 0; p < list.GroupCount(); ++p) {
    const int id = list.GroupIdAt(p);
    list.SetSubtitle(id, u"Actions: " + FormatDecimal(list.CountGroupItems(id)));
  }
  list.SelectRow(1);
  control->resize(700, 300);
  return control;
}

// The main window reads the sample plug-in, Test runs it in a prefix that
// holds what it names, and the test dialog is grabbed once its log is styled.
// Returns the number of failures.
int TestDialogShot(const QDir& out) {
  testing::PrefixBuilder prefix;
  testing::AddSampleContent(prefix);
  World world;
  world.services.wine_prefix = prefix.Root();
  const QString plugin = world.folder.filePath(QStringLiteral("Example Editor.cln"));
  std::ofstream(plugin.toStdString(), std::ios::binary) << testing::kSamplePlugin;
  CKestrelDlg window(world.services, world.dialogs);
  window.show();
  if (!window.ReadFile(plugin)) return 1;

  int failures = 1;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<CTestDlg*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->IsComplete()) return;
    QApplication::processEvents();
    const QString file = out.filePath(QStringLiteral("test_dialog.png"));
    if (dialog->grab().save(file)) {
      std::printf("%s\n", qPrintable(file));
      failures = 0;
    } else {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    }
    dialog->accept();
  });
  poll.start(20);
  window.Test();
  return failures;
}

struct Shot {
  const char* name;
  std::function<std::unique_ptr<QWidget>(World&)> make;
};

}  // namespace
}  // namespace kestrel

int main(int argc, char** argv) {
  using namespace kestrel;
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  QDir out(QString::fromLocal8Bit(argv[1]));
  if (!out.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPointSize(9);
  QApplication::setFont(font);

  const Shot shots[] = {
      {"registry_action_new", [](World& w) { return RegistryDialog(w, nullptr); }},
      {"registry_action_edit",
       [](World& w) { return RegistryDialog(w, "DELLIST=HKEY_CURRENT_USER\\Software\\Browser\\TypedURLs,url"); }},
      {"file_folder_action_new", [](World& w) { return DiskDialog(w, nullptr); }},
      {"file_folder_action_files",
       [](World& w) { return DiskDialog(w, "%APPDATA%\\Example\\Logs\\*.log|*.tmp /X:keep.log /S /C"); }},
      {"file_folder_action_ini",
       [](World& w) { return DiskDialog(w, "INIFILE=%APPDATA%\\Example\\settings.ini|Recent|File1"); }},
      {"actions_list", ActionsListControl},
      {"main_window_new", [](World& w) { return MainWindow(w, false); }},
      {"main_window_loaded", [](World& w) { return MainWindow(w, true); }},
      {"groups", GroupsDialog},
  };
  int failures = 0;
  for (const Shot& shot : shots) {
    World world;
    std::unique_ptr<QWidget> window = shot.make(world);
    window->show();
    // Dialogs at their natural size; the main window opens at its own.
    if (qobject_cast<QDialog*>(window.get()) && !qobject_cast<CKestrelDlg*>(window.get())) window->adjustSize();
    QApplication::processEvents();
    const QString file = out.filePath(QString::fromLatin1(shot.name) + QStringLiteral(".png"));
    if (!window->grab().save(file)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
      ++failures;
    } else {
      std::printf("%s\n", qPrintable(file));
    }
  }
  failures += TestDialogShot(out);
  return failures ? 1 : 0;
}
