// The grouped list control: what its view shows of the list, and that the
// model it gives Qt stays consistent through every kind of change.

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QRandomGenerator>
#include <QtTest>

#include "controls/list_ctrl_category_groups.h"
#include "platform/text.h"

namespace kestrel {

namespace {

ListRow MakeRow(int data, int group_id, const char* path = "p") {
  ListRow row;
  row.item_data = data;
  row.group_id = group_id;
  row.image = group_id % 2 == 0 ? 1 : 0;
  row.texts = {U(path), U("Delete Value"), U("x")};
  return row;
}

QString Text(const QAbstractItemModel& model, const QModelIndex& index, int role = Qt::DisplayRole) {
  return model.data(index, role).toString();
}

// What the view shows, group by group: "Title:data,data,..."
QStringList Shown(const CGroupedListModel& model) {
  QStringList out;
  for (int g = 0; g < model.rowCount(); ++g) {
    const QModelIndex group = model.index(g, 0);
    QString line = Text(model, group) + ":";
    for (int r = 0; r < model.rowCount(group); ++r)
      line += QString::number(model.List().GetItemData(model.RowOf(model.index(r, 0, group)))) + ",";
    out << line;
  }
  return out;
}

// The view's structure recomputed from the list.
QStringList Expected(const CGroupedList& list) {
  QStringList out;
  for (int g = 0; g < list.ShownGroupCount(); ++g) {
    const ListGroup& group = list.GroupAt(g);
    QString line = QString::fromStdU16String(group.title) + ":";
    for (int r = 0; r < list.RowCount(); ++r)
      if (list.Row(r).group_id == group.group_id) line += QString::number(list.Row(r).item_data) + ",";
    out << line;
  }
  return out;
}

}  // namespace

class TestListCtrlCategoryGroups : public QObject {
  Q_OBJECT

 private slots:
  void showsGroupsWithTheirRowsAndColumns() {
    CListCtrl_Category_Groups control;
    CGroupedList& list = control.List();
    list.EnableGroupView(true);
    control.AddGroup(0, 0, u"Registry Actions");
    control.AddGroup(1, 1, u"File/Folder Actions");
    list.AppendRow(MakeRow(0, 1, "C:\\Temp"));
    list.AppendRow(MakeRow(1, 0, "HKEY_CURRENT_USER\\Software\\Test,Foo"));
    list.AppendRow(MakeRow(2, 1));
    QVERIFY(control.SetSubtitle(0, u"Actions: 1"));

    const CGroupedListModel& model = control.Model();
    QCOMPARE(Shown(model), QStringList({"Registry Actions:1,", "File/Folder Actions:0,2,"}));
    const QModelIndex group = model.index(0, 0);
    QCOMPARE(Text(model, group, CGroupedListModel::kSubtitleRole), QString("Actions: 1"));
    QVERIFY(!(model.flags(group) & Qt::ItemIsSelectable));
    const QModelIndex row = model.index(0, 0, group);
    QCOMPARE(Text(model, row), QString("HKEY_CURRENT_USER\\Software\\Test,Foo"));
    QCOMPARE(Text(model, row.siblingAtColumn(1)), QString("Delete Value"));
    QCOMPARE(model.data(row, Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QVERIFY(!model.data(row, Qt::DecorationRole).value<QIcon>().isNull());
    QCOMPARE(model.flags(row) & (Qt::ItemIsSelectable | Qt::ItemIsUserCheckable),
             Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    for (int c = 0; c < 3; ++c)
      QCOMPARE(model.headerData(c, Qt::Horizontal).toString(), QStringList({"Path", "Action", "Pattern"})[c]);

    QCOMPARE(control.contextMenuPolicy(), Qt::PreventContextMenu);
    QCOMPARE(control.selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(control.selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(control.isExpanded(group));
  }

  void checkBoxesAndSelectionFollowTheList() {
    CListCtrl_Category_Groups control;
    CGroupedList& list = control.List();
    list.EnableGroupView(true);
    control.AddGroup(0, 0, u"Registry Actions");
    control.AddGroup(2, 1, u"Mine");
    for (int i = 0; i < 3; ++i) list.AppendRow(MakeRow(i, 0));
    CGroupedListModel& model = control.Model();

    // Ticking in the view ticks the row; ticking the row shows in the view.
    QVERIFY(model.setData(model.IndexOfRow(1), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(list.IsRowChecked(1));
    list.SetRowChecked(2, true);
    QCOMPARE(model.data(model.IndexOfRow(2), Qt::CheckStateRole).toInt(), int(Qt::Checked));

    control.selectionModel()->select(model.IndexOfRow(2),
                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QCOMPARE(list.SelectedRow(), 2);
    list.SelectRow(0);
    QCOMPARE(control.selectionModel()->selectedRows(), QModelIndexList({model.IndexOfRow(0)}));
    // Moving the selected row to another group keeps it selected.
    list.SetItemGroup(0, 2);
    QCOMPARE(list.SelectedRow(), 0);
    QCOMPARE(control.selectionModel()->selectedRows(), QModelIndexList({model.IndexOfRow(0)}));
    QCOMPARE(Shown(model), QStringList({"Registry Actions:1,2,", "Mine:0,"}));
    list.DeleteRow(0);
    QCOMPARE(list.SelectedCount(), 0);
    QVERIFY(control.selectionModel()->selectedRows().isEmpty());
  }

  void longTextsAreShownCutAndKeptWhole() {
    constexpr int most = CGroupedListModel::kMaxShownChars;
    const std::u16string fits(most, u'a'), over(most + 1, u'b');
    // A surrogate pair across the cut goes whole, to the cut-off part.
    const std::u16string pair = std::u16string(most - 1, u'c') + u"\U0001F600" + u"d";
    CListCtrl_Category_Groups control;
    CGroupedList& list = control.List();
    list.EnableGroupView(true);
    control.AddGroup(0, 0, u"Registry Actions");
    for (const std::u16string* text : {&fits, &over, &pair}) {
      ListRow row = MakeRow(list.RowCount(), 0);
      row.texts[2] = *text;
      list.AppendRow(row);
    }
    const CGroupedListModel& model = control.Model();
    const auto shown = [&](int row) { return Text(model, model.IndexOfRow(row).siblingAtColumn(2)); };
    QCOMPARE(shown(0), QString(most, u'a'));
    QCOMPARE(shown(1), QString(most, u'b') + QChar(0x2026));
    QCOMPARE(shown(2), QString(most - 1, u'c') + QChar(0x2026));
    QCOMPARE(list.Row(1).texts[2], over);
    control.resizeColumnToContents(2);  // sizes by the shown text: at once
    QVERIFY(control.columnWidth(2) < 100000);
  }

  void rowsOfMissingGroupsAreHiddenUntilTheGroupComes() {
    CListCtrl_Category_Groups control;
    CGroupedList& list = control.List();
    list.EnableGroupView(true);
    control.AddGroup(0, 0, u"Registry Actions");
    list.AppendRow(MakeRow(0, 4));
    list.AppendRow(MakeRow(1, 0));
    const CGroupedListModel& model = control.Model();
    QCOMPARE(Shown(model), QStringList({"Registry Actions:1,"}));
    QVERIFY(!model.IndexOfRow(0).isValid());
    control.AddGroup(4, 0, u"Four");
    QCOMPARE(Shown(model), QStringList({"Four:0,", "Registry Actions:1,"}));
    list.RemoveAllGroups();
    QCOMPARE(model.rowCount(), 0);
    // Without group view every row is shown, in row order.
    list.EnableGroupView(false);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.RowOf(model.index(1, 0)), 1);
  }

  void olderSystemFlagReachesTheList() {
    CListCtrl_Category_Groups control(nullptr, 0);
    QCOMPARE(control.List().NewerSystem(), 0);
    control.AddGroup(3, 0, u"Three");
    control.List().RemoveGroup(3);
    QCOMPARE(control.GroupCount(), 1);
    QCOMPARE(control.GroupIdAt(0), 3);
  }

  // Random changes of every kind: Qt's model checker watches the signals and
  // the shown structure is compared with the list after each step.
  void staysConsistentThroughRandomChanges() {
    CListCtrl_Category_Groups control;
    control.show();
    CGroupedList& list = control.List();
    QAbstractItemModelTester tester(&control.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QRandomGenerator random(7);
    int next_data = 0;
    for (int step = 0; step < 1500; ++step) {
      const int group = int(random.bounded(6));
      const int rows = list.RowCount();
      switch (random.bounded(11)) {
        case 0: list.AddGroup(group, int(random.bounded(-1, 4)), u"G" + FormatDecimal(group)); break;
        case 1: list.RemoveGroup(group); break;
        case 2: list.InsertRow(int(random.bounded(-1, rows + 2)), MakeRow(next_data++, group)); break;
        case 3: list.AppendRow(MakeRow(next_data++, group)); break;
        case 4: list.DeleteRow(int(random.bounded(-1, rows + 1))); break;
        case 5: list.SetItemGroup(int(random.bounded(-1, rows + 1)), group); break;
        case 6: list.SetRowChecked(int(random.bounded(-1, rows + 1)), random.bounded(2) == 1); break;
        case 7: list.SelectRow(int(random.bounded(-1, rows + 1))); break;
        case 8: list.SetSubtitle(group, u"Actions: " + FormatDecimal(step)); break;
        case 9:
          if (random.bounded(30) == 0) list.RemoveAllGroups();
          else if (random.bounded(30) == 0) list.DeleteAllRows();
          else list.SetRowText(int(random.bounded(rows + 1)), 0, u"t" + FormatDecimal(step));
          break;
        case 10: list.EnableGroupView(random.bounded(8) != 0); break;
      }
      if (list.IsGroupViewEnabled()) {
        QCOMPARE(Shown(control.Model()), Expected(list));
      } else {
        QCOMPARE(control.Model().rowCount(), list.RowCount());
      }
      const QModelIndex selected = control.Model().IndexOfRow(list.SelectedRow());
      QCOMPARE(control.selectionModel()->selectedRows(),
               selected.isValid() ? QModelIndexList({selected}) : QModelIndexList());
      if (step % 100 == 0) QCoreApplication::processEvents();
    }
  }
};

}  // namespace kestrel

QTEST_MAIN(kestrel::TestListCtrlCategoryGroups)
#include "test_list_ctrl_category_groups.moc"
