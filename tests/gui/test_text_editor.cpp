// Starting the desktop's text editor: the Exec value of its desktop entry
// turned into a program and arguments for one file.

#include <QtTest>

#include "editor/text_editor.h"

namespace kestrel {

class TestTextEditor : public QObject {
  Q_OBJECT

 private slots:
  void launchFromExec_data() {
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QStringList>("launch");  // program, then arguments; empty: none
    const QString file = QStringLiteral("/home/u/my plug.cln");
    QTest::newRow("url list") << "gedit %U" << QStringList{"gedit", file};
    QTest::newRow("options first") << "gnome-text-editor --new-window %F" << QStringList{"gnome-text-editor", "--new-window", file};
    QTest::newRow("quoted program") << "\"/opt/My Editor/ed\" -x %f" << QStringList{"/opt/My Editor/ed", "-x", file};
    QTest::newRow("icon and name codes dropped") << "kate -b %U %i %c %k" << QStringList{"kate", "-b", file};
    QTest::newRow("no code: file appended") << "mousepad" << QStringList{"mousepad", file};
    QTest::newRow("escapes inside quotes") << "sh -c \"echo \\\"\\$x\\\\\" %f" << QStringList{"sh", "-c", "echo \"$x\\", file};
    QTest::newRow("percent") << "tool --ratio=100%% %f" << QStringList{"tool", "--ratio=100%", file};
    QTest::newRow("code inside an argument") << "tool --file=%f" << QStringList{"tool", "--file=" + file};
    QTest::newRow("file only once") << "tool %f %F" << QStringList{"tool", file};
    QTest::newRow("unterminated quote") << "\"tool %f" << QStringList{};
    QTest::newRow("empty") << "  " << QStringList{};
  }
  void launchFromExec() {
    QFETCH(QString, exec);
    QFETCH(QStringList, launch);
    const auto got = LaunchFromExec(exec, QStringLiteral("/home/u/my plug.cln"));
    QCOMPARE(got ? QStringList{got->program} + got->arguments : QStringList{}, launch);
  }

  void desktopEntryExec() {
    const QString text = QStringLiteral(
        "[Desktop Action new]\nExec=wrong %U\n\n"
        "[Desktop Entry]\nName=Editor\nExecutable=no\nExec = my\\seditor \\\\x \\\"q\\\" %U\nTryExec=x\n"
        "[Other]\nExec=later\n");
    QCOMPARE(DesktopEntryExec(text), QString("my editor \\x \\\"q\\\" %U"));
    QCOMPARE(DesktopEntryExec(QStringLiteral("[Desktop Entry]\nName=x\n")), QString());
  }
};

}  // namespace kestrel

QTEST_MAIN(kestrel::TestTextEditor)
#include "test_text_editor.moc"
