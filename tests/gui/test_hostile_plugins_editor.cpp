// Plug-in files from strangers opened in the main window: each ends in a
// refusal with the reader's message (and a new document) or in a loaded
// document, and the window works on afterwards: a loaded one saves and reads
// back alike, after a refusal the next file reads.

#include "support/example_plugin.h"
#include "support/hostile_plugins.h"
#include "support/window_fixture.h"

namespace kestrel {

using testing::WindowFixture;

namespace {

QString Warnings(const testing::ScriptedMessages& messages) {
  QStringList out;
  for (const auto& w : messages.warnings) out << QString::fromStdU16String(w);
  return out.join(QStringLiteral(" | "));
}

int CheckedRows(const CGroupedList& list) {
  int checked = 0;
  for (int row = 0; row < list.RowCount(); ++row) checked += list.Row(row).checked ? 1 : 0;
  return checked;
}

QString FirstRowGroup(const CGroupedList& list) {
  return list.RowCount() == 0 ? QString() : QString::fromStdU16String(list.GroupTitle(list.Row(0).group_id));
}

}  // namespace

class TestHostilePluginsEditor : public QObject {
  Q_OBJECT

 private slots:
  void opensOrRefuses_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("sparse_size");  // > 0: a valid plug-in grown to this size instead
    QTest::addColumn<QString>("warnings");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("group");  // the first row's
    QTest::addColumn<int>("checked");
    QTest::addColumn<QString>("save_warnings");

    using namespace testing;
    const auto bytes = [](const std::string& s) { return QByteArray::fromStdString(s); };
    const QString refused = QStringLiteral("Error reading file");
    QTest::newRow("binary junk") << bytes(BinaryJunk(1 << 20)) << qint64(0) << refused << false << 0 << QString() << 0
                                 << QString();
    QTest::newRow("UTF-16 without BOM") << bytes(Utf16WithoutBom()) << qint64(0) << refused << false << 0 << QString()
                                        << 0 << QString();
    QTest::newRow("500 MB sparse file") << QByteArray() << (qint64(500) << 20) << refused << false << 0 << QString()
                                        << 0 << QString();
    QTest::newRow("5 MB action line") << bytes(LongActionLine(5 << 20)) << qint64(0) << QString() << true << 1
                                      << QStringLiteral("Registry Actions") << 0
                                      << QStringLiteral("Some strings are longer than 512 chars.");
    QTest::newRow("100,000 actions in one group") << bytes(ManyActions(100000)) << qint64(0) << QString() << true
                                                  << 100000 << QStringLiteral("G") << 100000 << QString();
    QTest::newRow("group naming 1,000,000 members")
        << bytes(ManyMembers(1000000)) << qint64(0) << QString() << true << 1 << QStringLiteral("G") << 1 << QString();
    QTest::newRow("numbers beyond 2^31") << bytes(HugeNumbers()) << qint64(0) << QString() << true << 1
                                         << QStringLiteral("G") << 1 << QString();
  }

  void opensOrRefuses() {
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, sparse_size);
    QFETCH(QString, warnings);
    QFETCH(bool, loaded);
    QFETCH(int, rows);
    QFETCH(QString, group);
    QFETCH(int, checked);
    QFETCH(QString, save_warnings);

    WindowFixture f;
    const QString path =
        sparse_size > 0
            ? QString::fromStdString(
                  testing::WriteSparsePlugin(f.Path("hostile.cln").toStdString(), uint64_t(sparse_size)).string())
            : f.Write("hostile.cln", bytes.toStdString());
    bytes.clear();

    QCOMPARE(f.window->ReadFile(path), loaded);
    QCOMPARE(Warnings(f.messages), warnings);
    QCOMPARE(f.List().RowCount(), rows);
    QCOMPARE(FirstRowGroup(f.List()), group);
    QCOMPARE(f.List().GroupCount(),
             2);  // a group line of key 0 names the default group
    QCOMPARE(CheckedRows(f.List()), checked);
    QCOMPARE(f.Edit("filenameEdit")->text(), loaded ? path : QStringLiteral("Untitled"));
    QCOMPARE(f.window->CurrentPath(), loaded ? path : QString());
    QCOMPARE(f.window->Document().modified, !loaded);
    QCOMPARE(f.Button("saveButton")->isEnabled(), loaded);

    if (!loaded) {
      QVERIFY(f.window->ReadFile(f.Write("example.cln", testing::kExamplePlugin)));
      QCOMPARE(f.List().RowCount(), 3);
      return;
    }
    // Every row is in the view, the last one too; the view shows a long text cut.
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);  // the busy cursor is gone
    const CGroupedListModel& view = f.window->ListCtrl().Model();
    QVERIFY(view.IndexOfRow(rows - 1).isValid());
    QVERIFY(view.data(view.IndexOfRow(0), Qt::DisplayRole).toString().size() <= CGroupedListModel::kMaxShownChars + 1);

    const auto first_texts = f.List().Row(0).texts;
    f.messages.warnings.clear();
    f.choosers.answers.push_back(f.Path("saved.cln"));
    f.Button("saveButton")->click();
    QCOMPARE(Warnings(f.messages), save_warnings);
    QCOMPARE(f.window->CurrentPath(), f.Path("saved.cln"));
    QVERIFY(!f.window->Document().modified);

    f.messages.warnings.clear();
    QVERIFY(f.window->ReadFile(f.Path("saved.cln")));
    QCOMPARE(Warnings(f.messages), QString());
    QCOMPARE(f.List().RowCount(), rows);
    QCOMPARE(FirstRowGroup(f.List()), group);
    QCOMPARE(CheckedRows(f.List()), checked);
    QVERIFY(f.List().Row(0).texts == first_texts);

    // Ticking a row in the view still reaches the document.
    auto& model = f.window->ListCtrl().Model();
    const QModelIndex first = model.IndexOfRow(0);
    QVERIFY(model.setData(first,
                          model.data(first, Qt::CheckStateRole).toInt() == Qt::Checked ? Qt::Unchecked : Qt::Checked,
                          Qt::CheckStateRole));
    QVERIFY(f.window->Document().modified);
  }
};

}  // namespace kestrel

QTEST_MAIN(kestrel::TestHostilePluginsEditor)
#include "test_hostile_plugins_editor.moc"
