// The path edit control: modes, browsing with the parent's answers, drops,
// the keyboard shortcut, the button's states and the tool tips.

#include <QMimeData>
#include <QtTest>

#include "controls/file_edit_ctrl.h"
#include "support/scripted_choosers.h"
#include "support/temp_prefix.h"

namespace kestrel {

using testing::ScriptedChoosers;
using testing::TempPrefix;

namespace {

// Records the notifications a control sends and answers them from a table.
struct Parent {
  explicit Parent(CFileEditCtrl& control) {
    control.SetPathHandler([this](const CFileEditCtrl::PathNotification& n) {
      heard << QStringLiteral("%1:%2").arg(n.code).arg(n.path ? *n.path : QStringLiteral("null"));
      return answers.value(n.code, 0);
    });
  }
  QStringList heard;
  QMap<int, int> answers;  // code -> answer
};

}  // namespace

class TestFileEditCtrl : public QObject {
  Q_OBJECT

 private slots:
  void setModeRefusesBothOrNeither_data() {
    QTest::addColumn<unsigned>("flags");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("file") << 0x1u << true;
    QTest::newRow("file, several drops") << 0x3u << true;
    QTest::newRow("folder") << 0x4u << true;
    QTest::newRow("file and folder") << 0x5u << false;
    QTest::newRow("nothing") << 0x0u << false;
    QTest::newRow("several drops alone") << 0x2u << false;
  }

  void setModeRefusesBothOrNeither() {
    QFETCH(unsigned, flags);
    QFETCH(bool, accepted);
    ScriptedChoosers choosers;
    CFileEditCtrl control(choosers);
    QVERIFY(control.SetMode(0x3));
    QCOMPARE(control.SetMode(flags), accepted);
    QCOMPARE(control.Mode(), accepted ? flags : 0x3u);
  }

  void folderBrowseGivesWindowsFolderWithBackslash_data() {
    QTest::addColumn<QString>("picked");  // below the prefix folder; "-" cancels
    QTest::addColumn<int>("answer");      // the parent's answer to the result
    QTest::addColumn<QString>("heard");
    QTest::addColumn<QString>("text");
    QTest::newRow("folder") << "drive_c/Temp" << 0 << "2:C:\\Temp\\" << "C:\\Temp\\";
    QTest::newRow("root") << "drive_c" << 0 << "2:C:\\" << "C:\\";
    QTest::newRow("parent places it") << "drive_c/Temp" << 1 << "2:C:\\Temp\\" << "old";
    QTest::newRow("cancelled") << "-" << 0 << "2:null" << "old";
  }

  void folderBrowseGivesWindowsFolderWithBackslash() {
    QFETCH(QString, picked);
    QFETCH(int, answer);
    QFETCH(QString, heard);
    QFETCH(QString, text);
    TempPrefix prefix;
    prefix.AddFolder("drive_c/Temp");
    ScriptedChoosers choosers;
    if (picked != "-") choosers.answers.push_back(QString::fromStdString((prefix.Root() / picked.toStdString()).string()));
    CFileEditCtrl control(choosers);
    control.SetWinePrefix(prefix.Root());
    control.setText("old");
    Parent parent(control);
    parent.answers[CFileEditCtrl::kBrowseResult] = answer;
    control.StartBrowse();
    QCOMPARE(choosers.asked, std::vector<ScriptedChoosers::Kind>({ScriptedChoosers::kFolder}));
    QCOMPARE(parent.heard, QStringList({"1:null", heard}));
    QCOMPARE(control.text(), text);
  }

  void fileBrowse() {
    TempPrefix prefix;
    ScriptedChoosers choosers;
    choosers.answers.push_back(prefix.AddFile("drive_c/Program Data/tool.ini"));
    choosers.answers.push_back(QString());
    CFileEditCtrl control(choosers);
    control.SetWinePrefix(prefix.Root());
    QVERIFY(control.SetMode(CFileEditCtrl::kFileMode));
    Parent parent(control);
    control.StartBrowse();
    QCOMPARE(control.text(), QString("C:\\Program Data\\tool.ini"));
    control.StartBrowse();  // cancelled
    QCOMPARE(control.text(), QString("C:\\Program Data\\tool.ini"));
    QCOMPARE(parent.heard, QStringList({"1:null", "2:C:\\Program Data\\tool.ini", "1:null", "2:null"}));
    QCOMPARE(choosers.asked, std::vector<ScriptedChoosers::Kind>(2, ScriptedChoosers::kOpenFile));
  }

  void parentCanRefuseTheBrowse() {
    ScriptedChoosers choosers;
    CFileEditCtrl control(choosers);
    Parent parent(control);
    parent.answers[CFileEditCtrl::kBrowseRequest] = 1;
    control.StartBrowse();
    QVERIFY(choosers.asked.empty());
    QCOMPARE(parent.heard, QStringList({"1:null"}));
  }

  void withoutParentTheTextIsSetAtOnce() {
    TempPrefix prefix;
    ScriptedChoosers choosers;
    choosers.answers.push_back(prefix.AddFolder("drive_c/Data"));
    CFileEditCtrl control(choosers);
    control.SetWinePrefix(prefix.Root());
    QVERIFY(control.BrowseForFolder());
    QCOMPARE(control.text(), QString("C:\\Data\\"));
  }

  void drops_data() {
    QTest::addColumn<unsigned>("mode");
    QTest::addColumn<QStringList>("dropped");  // below the prefix folder, or absolute
    QTest::addColumn<QString>("text");
    const QStringList three = {"drive_c/Logs/a.txt", "drive_c/Logs/b.txt", "other/x.log"};
    QTest::newRow("several drops") << 0x3u << three << "C:\\Logs\\a.txt|b.txt|D:\\x.log";
    QTest::newRow("file mode, first only") << 0x1u << three << "C:\\Logs\\a.txt";
    QTest::newRow("folder mode, first only") << 0x4u << three << "C:\\Logs\\a.txt";
    QTest::newRow("folder") << 0x4u << QStringList({"drive_c/Data"}) << "C:\\Data";
    QTest::newRow("same start, other folder") << 0x3u << QStringList({"drive_c/Logs/a.txt", "drive_c/Logs2/c.txt"})
                                              << "C:\\Logs\\a.txt|C:\\Logs2\\c.txt";
    QTest::newRow("off every drive") << 0x3u << QStringList({"/proc/version", "/proc/uptime"})
                                     << "/proc/version|uptime";
  }

  void drops() {
    QFETCH(unsigned, mode);
    QFETCH(QStringList, dropped);
    QFETCH(QString, text);
    TempPrefix prefix;
    prefix.AddFolder("drive_c/Data");
    prefix.MapDrive('d', prefix.Root() / "other");
    QStringList urls_paths;
    for (const QString& item : dropped)
      urls_paths << (item.startsWith('/') ? item : prefix.AddFile(item.toStdString()));
    ScriptedChoosers choosers;
    CFileEditCtrl control(choosers);
    control.SetWinePrefix(prefix.Root());
    QVERIFY(control.SetMode(mode));
    Parent parent(control);

    // A real drop event, as a file manager delivers it.
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& path : urls_paths) urls << QUrl::fromLocalFile(path);
    mime.setUrls(urls);
    // Delivered straight to the control: the application passes a drop on
    // only within a drag it runs itself.
    QObject& target = control;
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    target.event(&enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    target.event(&drop);
    QCOMPARE(control.text(), text);
    QCOMPARE(parent.heard, QStringList({"3:" + text}));
  }

  void parentCanTakeTheDrop() {
    TempPrefix prefix;
    ScriptedChoosers choosers;
    CFileEditCtrl control(choosers);
    control.SetWinePrefix(prefix.Root());
    control.setText("old");
    Parent parent(control);
    parent.answers[CFileEditCtrl::kFilesDropped] = 1;
    control.DropPaths({prefix.AddFile("drive_c/a.txt")});
    QCOMPARE(parent.heard, QStringList({"3:C:\\a.txt"}));
    QCOMPARE(control.text(), QString("old"));
  }

  void readOnlyControlStillBrowsesAndTakesDrops() {
    TempPrefix prefix;
    ScriptedChoosers choosers;
    choosers.answers.push_back(prefix.AddFolder("drive_c/Temp"));
    CFileEditCtrl control(choosers);
    control.SetWinePrefix(prefix.Root());
    control.setReadOnly(true);
    control.StartBrowse();
    QCOMPARE(control.text(), QString("C:\\Temp\\"));
    QCOMPARE(control.ButtonState(), CFileEditCtrl::kButtonNormal);
    control.DropPaths({prefix.AddFile("drive_c/x.log")});
    QCOMPARE(control.text(), QString("C:\\x.log"));
  }

  void ctrlPeriodBrowsesPeriodTypes() {
    ScriptedChoosers choosers;
    CFileEditCtrl control(choosers);
    control.show();
    QTest::keyClick(&control, Qt::Key_Period);
    QCOMPARE(control.text(), QString("."));
    QVERIFY(choosers.asked.empty());
    QTest::keyClick(&control, Qt::Key_Period, Qt::ControlModifier);
    QTest::keyClick(&control, Qt::Key_Period, Qt::ControlModifier | Qt::KeypadModifier);
    QCOMPARE(choosers.asked.size(), size_t(2));
    QCOMPARE(control.text(), QString("."));
  }

  void buttonPressBrowsesOnReleaseOverIt() {
    ScriptedChoosers choosers;
    CFileEditCtrl control(choosers);
    control.resize(300, 28);
    control.show();
    const QPoint button = control.ButtonRect().center();
    QVERIFY(control.ButtonRect().width() >= 3);
    QTest::mousePress(&control, Qt::LeftButton, {}, button);
    QCOMPARE(control.ButtonState(), CFileEditCtrl::kButtonPressed);
    QTest::mouseRelease(&control, Qt::LeftButton, {}, button);
    QCOMPARE(control.ButtonState(), CFileEditCtrl::kButtonNormal);
    QCOMPARE(choosers.asked.size(), size_t(1));
    // Released away from the button: no browse.
    QTest::mousePress(&control, Qt::LeftButton, {}, button);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), control.mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&control, &move);
    QCOMPARE(control.ButtonState(), CFileEditCtrl::kButtonNormal);
    QTest::mouseRelease(&control, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(choosers.asked.size(), size_t(1));
  }

  void disabledControlPaintsDisabledAndIgnoresPresses() {
    ScriptedChoosers choosers;
    CFileEditCtrl control(choosers);
    control.resize(300, 28);
    control.show();
    control.setEnabled(false);
    QCOMPARE(control.ButtonState(), CFileEditCtrl::kButtonDisabled);
    QTest::mouseClick(&control, Qt::LeftButton, {}, control.ButtonRect().center());
    QVERIFY(choosers.asked.empty());
    control.setEnabled(true);
    QCOMPARE(control.ButtonState(), CFileEditCtrl::kButtonNormal);
  }

  void buttonIsEightTenthsOfTheTextHeightWide_data() {
    QTest::addColumn<int>("height");
    QTest::newRow("usual") << 26;
    QTest::newRow("tall") << 60;
    QTest::newRow("too low to paint") << 4;
  }

  void buttonIsEightTenthsOfTheTextHeightWide() {
    QFETCH(int, height);
    ScriptedChoosers choosers;
    CFileEditCtrl control(choosers);
    control.setFixedSize(300, height);
    control.show();
    const QRect button = control.ButtonRect();
    QCOMPARE(button.width(), button.height() * 8 / 10);
    QVERIFY(control.rect().contains(button) || button.isEmpty());
    QCOMPARE(control.textMargins().right(), button.width());  // the text stops before it
    const bool painted = button.width() >= 3 && button.height() >= 3;
    QCOMPARE(control.findChild<QWidget*>("browseButton")->isVisible(), painted);
    QCOMPARE(painted, height > 10);
  }

  void focusSelectsTheWholeText() {
    ScriptedChoosers choosers;
    CFileEditCtrl control(choosers);
    control.setText("C:\\Temp");
    control.show();
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(&control, &in);
    QCOMPARE(control.selectedText(), QString("C:\\Temp"));
  }

  void toolTipsFollowModeAndPlace() {
    ScriptedChoosers choosers;
    CFileEditCtrl control(choosers);
    control.resize(300, 28);
    control.show();
    const QPoint on_button = control.ButtonRect().center();
    const QPoint on_text(5, 5);
    QCOMPARE(control.ToolTipAt(on_button), QString("Click to browse for folder"));
    QCOMPARE(control.ToolTipAt(on_text), QString("Click icon to browse for folder"));
    control.SetMode(CFileEditCtrl::kFileMode);
    QCOMPARE(control.ToolTipAt(on_button), QString("Click to browse for file"));
    QCOMPARE(control.ToolTipAt(on_text), QString("Click icon to browse for file"));
    QVERIFY(control.IsOverButton(control.mapToGlobal(on_button)));
    QVERIFY(!control.IsOverButton(control.mapToGlobal(on_text)));
  }
};

}  // namespace kestrel

QTEST_MAIN(kestrel::TestFileEditCtrl)
#include "test_file_edit_ctrl.moc"
