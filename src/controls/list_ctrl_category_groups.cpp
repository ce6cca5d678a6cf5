#include "controls/list_ctrl_category_groups.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace kestrel {
namespace {

// Paints a group item over the whole width: the title in bold, the subtitle
// after it in grey, and a rule to the right edge. Rows get the usual look.
class GroupHeaderDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (!index.data(CGroupedListModel::kIsGroupRole).toBool()) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    painter->save();
    const QPalette& palette = option.palette;
    const QRect area = option.rect.adjusted(4, 0, -4, 0);
    QFont bold = option.font;
    bold.setBold(true);
    const QString title = index.data(Qt::DisplayRole).toString();
    const QString subtitle = index.data(CGroupedListModel::kSubtitleRole).toString();
    const QFontMetrics bold_metrics(bold);
    const QFontMetrics metrics(option.font);

    QColor title_colour = palette.color(QPalette::Link);
    painter->setFont(bold);
    painter->setPen(title_colour);
    const int title_width = bold_metrics.horizontalAdvance(title);
    QRect title_rect = area;
    title_rect.setWidth(std::min(area.width(), title_width + 2));
    painter->drawText(title_rect, Qt::AlignLeft | Qt::AlignVCenter,
                      title_width + 2 <= area.width() ? title
                                                      : bold_metrics.elidedText(title, Qt::ElideRight, area.width()));
    int x = title_rect.right() + 1;
    if (!subtitle.isEmpty() && x < area.right()) {
      x += metrics.averageCharWidth() * 2;
      QRect sub_rect(x, area.top(), area.right() - x, area.height());
      painter->setFont(option.font);
      painter->setPen(palette.color(QPalette::Disabled, QPalette::Text));
      const QString shown = metrics.elidedText(subtitle, Qt::ElideRight, sub_rect.width());
      painter->drawText(sub_rect, Qt::AlignLeft | Qt::AlignVCenter, shown);
      x += metrics.horizontalAdvance(shown);
    }
    x += metrics.averageCharWidth();
    if (x < area.right()) {
      title_colour.setAlpha(90);
      painter->setPen(title_colour);
      const int y = area.center().y() + 1;
      painter->drawLine(x, y, area.right(), y);
    }
    painter->restore();
  }
};

}  // namespace

CListCtrl_Category_Groups::CListCtrl_Category_Groups(QWidget* parent, int newer_system)
    : QTreeView(parent), list_(newer_system), model_(list_) {
  // While items come and go the view moves its selection about (off items
  // that go away, along with items that move); the list keeps its own.
  // Connected before the view connects itself, so these run first.
  connect(&model_, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] { ++model_changing_; });
  connect(&model_, &QAbstractItemModel::rowsInserted, this, [this] { --model_changing_; });
  connect(&model_, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this] { ++model_changing_; });
  connect(&model_, &QAbstractItemModel::rowsRemoved, this, [this] { --model_changing_; });
  connect(&model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] { ++model_changing_; });
  connect(&model_, &QAbstractItemModel::modelReset, this, [this] { --model_changing_; });
  setModel(&model_);
  setItemDelegate(new GroupHeaderDelegate(this));
  setUniformRowHeights(true);  // keeps large lists fast
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setExpandsOnDoubleClick(false);
  setIndentation(0);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setAllColumnsShowFocus(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Context menu requests are swallowed: no menu, and the parent hears nothing.
  setContextMenuPolicy(Qt::PreventContextMenu);
  header()->setSectionsClickable(false);
  header()->setSectionsMovable(false);
  setColumnWidth(0, 350);
  setColumnWidth(1, 180);
  setColumnWidth(2, 100);

  list_.AddObserver(this);
  connect(&model_, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex& parent, int first, int last) {
    if (!parent.isValid()) ExpandGroups(first, last);
  });
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { TakeViewSelection(); });
  ExpandGroups(0, model_.rowCount() - 1);
}

CListCtrl_Category_Groups::~CListCtrl_Category_Groups() {
  list_.RemoveObserver(this);
  setModel(nullptr);
}

void CListCtrl_Category_Groups::ExpandGroups(int first, int last) {
  for (int position = first; position <= last; ++position) {
    const QModelIndex group = model_.index(position, 0);
    if (!model_.IsGroup(group)) continue;
    setFirstColumnSpanned(position, {}, true);
    expand(group);
  }
}

// The view's selection becomes the list's.
void CListCtrl_Category_Groups::TakeViewSelection() {
  if (syncing_ || model_changing_ > 0) return;
  const QModelIndexList rows = selectionModel()->selectedRows();
  const int row = rows.isEmpty() ? -1 : model_.RowOf(rows.first());
  syncing_ = true;
  list_.SelectRow(row);
  syncing_ = false;
}

// The list's selection becomes the view's.
void CListCtrl_Category_Groups::ShowSelection() {
  if (syncing_) return;
  syncing_ = true;
  const QModelIndex index = model_.IndexOfRow(list_.SelectedRow());
  if (index.isValid()) {
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  } else {
    selectionModel()->clearSelection();
  }
  syncing_ = false;
}

void CListCtrl_Category_Groups::SelectionChanged(int, int) { ShowSelection(); }

// After changes that move or drop items of the view, the view shows the
// list's selection again (it would otherwise pick a neighbour of its own).
void CListCtrl_Category_Groups::RowChanged(int, unsigned fields, int) {
  if (fields & kRowGroup) ShowSelection();
}

void CListCtrl_Category_Groups::GroupRemoved(int, int) { ShowSelection(); }

// A group that comes back shows its rows again, the selected one among them.
void CListCtrl_Category_Groups::GroupInserted(int) { ShowSelection(); }

void CListCtrl_Category_Groups::RowRemoved(int, const ListRow&) { ShowSelection(); }

void CListCtrl_Category_Groups::Reset() {
  ExpandGroups(0, model_.rowCount() - 1);
  ShowSelection();
}

}  // namespace kestrel
