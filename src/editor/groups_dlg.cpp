#include "editor/groups_dlg.h"

#include <functional>
#include <map>
#include <optional>
#include <utility>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>

#include "controls/dialog_units.h"
#include "document/grouped_list.h"
#include "platform/message_sink.h"
#include "platform/text.h"

namespace kestrel {
namespace {

constexpr int kGroupIdRole = Qt::UserRole;

// In-place naming of a group: the typed text is not written into the row by
// the view; when the editor closes, the dialog hears the text (or that the
// edit was cancelled) and decides.
class GroupNameDelegate : public QStyledItemDelegate {
 public:
  using Ended = std::function<void(const QPersistentModelIndex&, const std::optional<QString>&)>;
  GroupNameDelegate(QObject* parent, Ended ended) : QStyledItemDelegate(parent), ended_(std::move(ended)) {
    connect(this, &QAbstractItemDelegate::closeEditor, this, [this](QWidget* editor) { Closed(editor); });
  }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    editing_[editor] = Edit{QPersistentModelIndex(index), std::nullopt};
    return editor;
  }

  void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex&) const override {
    auto it = editing_.find(editor);
    if (auto* line = qobject_cast<QLineEdit*>(editor); line && it != editing_.end()) it->second.text = line->text();
  }

 private:
  struct Edit {
    QPersistentModelIndex index;
    std::optional<QString> text;
  };

  // Handled once the view is done with the editor, so a message box shown
  // then does not meet a half-closed editor.
  void Closed(QWidget* editor) {
    auto it = editing_.find(editor);
    if (it == editing_.end()) return;
    const Edit edit = it->second;
    editing_.erase(it);
    QTimer::singleShot(0, this, [this, edit] { ended_(edit.index, edit.text); });
  }

  Ended ended_;
  mutable std::map<QWidget*, Edit> editing_;
};

QString Title(std::u16string_view text) { return QString::fromStdU16String(std::u16string(text)); }

}  // namespace

CGroupsDlg::CGroupsDlg(MessageSink& messages, QWidget* parent) : QDialog(parent), messages_(messages) {
  setWindowTitle(QStringLiteral("Groups"));
  BuildControls();
}

void CGroupsDlg::BuildControls() {
  const char* titles[2] = {"Registry Groups", "File/Folder Groups"};
  const char* names[2] = {"registry", "fileFolder"};
  auto* layout = new QVBoxLayout(this);
  for (int which = 0; which < 2; ++which) {
    auto* box = new QGroupBox(QString::fromLatin1(titles[which]), this);
    auto* list = new QListWidget(box);
    list->setObjectName(QString::fromLatin1(names[which]) + QStringLiteral("List"));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    list->setMinimumSize(DialogUnitsX(this, 146), DialogUnitsY(this, 68));
    list->setItemDelegate(new GroupNameDelegate(
        list, [this, which](const QPersistentModelIndex& index, const std::optional<QString>& text) {
          EndEditing(which, index, text);
        }));
    lists_[which] = list;

    add_[which] = new QPushButton(QStringLiteral("Add"), box);
    add_[which]->setObjectName(QString::fromLatin1(names[which]) + QStringLiteral("Add"));
    remove_[which] = new QPushButton(QStringLiteral("Remove"), box);
    remove_[which]->setObjectName(QString::fromLatin1(names[which]) + QStringLiteral("Remove"));
    remove_[which]->setEnabled(false);
    for (QPushButton* button : {add_[which], remove_[which]}) {
      button->setAutoDefault(false);
      button->setMinimumWidth(DialogUnitsX(this, 43));
    }

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add_[which]);
    buttons->addWidget(remove_[which]);
    buttons->addStretch();
    auto* row = new QHBoxLayout(box);
    row->addWidget(list, 1);
    row->addLayout(buttons);
    layout->addWidget(box, 1);

    connect(add_[which], &QPushButton::clicked, this, [this, which] { Add(which); });
    connect(remove_[which], &QPushButton::clicked, this, [this, which] { Remove(which); });
    connect(list, &QListWidget::itemSelectionChanged, this, [this, which] { UpdateRemoveButton(which); });
  }

  show_groups_box_ = new QCheckBox(QStringLiteral("Show groups"), this);
  show_groups_box_->setObjectName(QStringLiteral("showGroups"));
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setObjectName(QStringLiteral("okButton"));
  ok_->setDefault(true);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_->setObjectName(QStringLiteral("cancelButton"));
  cancel_->setAutoDefault(false);
  for (QPushButton* button : {ok_, cancel_}) button->setMinimumWidth(DialogUnitsX(this, 50));
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(show_groups_box_);
  bottom->addStretch();
  bottom->addWidget(ok_);
  bottom->addWidget(cancel_);
  layout->addLayout(bottom);

  connect(ok_, &QPushButton::clicked, this, [this] { Ok(); });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void CGroupsDlg::showEvent(QShowEvent* event) {
  if (!opened_) {
    opened_ = true;
    Opening();
  }
  QDialog::showEvent(event);
}

void CGroupsDlg::Opening() {
  if (grouped_list_) {
    for (int p = 0; p < grouped_list_->GroupCount(); ++p) {
      const int id = grouped_list_->GroupIdAt(p);
      QListWidget* list = lists_[id % 2 == 0 ? 0 : 1];
      auto* item = new QListWidgetItem(Title(grouped_list_->GroupTitle(id)), list);
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsEditable);
      item->setData(kGroupIdRole, id);
      item->setCheckState(grouped_list_->GroupChecked(id) != 0 ? Qt::Checked : Qt::Unchecked);
    }
  }
  show_groups_box_->setChecked(show_groups_);
}

void CGroupsDlg::Add(int which) {
  QListWidget* list = lists_[which];
  list->setFocus();
  auto* item = new QListWidgetItem(QString(), list);
  item->setFlags(item->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsEditable);
  item->setCheckState(Qt::Unchecked);
  list->scrollToItem(item);
  list->editItem(item);
}

int CGroupsDlg::NewGroupId(int which, int row) const {
  const int parity = which;  // 0: registry (even), 1: file/folder (odd)
  const QListWidget* list = lists_[which];
  const int previous = row > 0 ? list->item(row - 1)->data(kGroupIdRole).toInt() : 0;
  auto usable = [&](int id) {
    return ((id % 2) + 2) % 2 == parity && !grouped_list_->HasGroup(id) && grouped_list_->CountGroupItems(id) == 0;
  };
  if (usable(previous + 2)) return previous + 2;
  int id = parity;
  while (!usable(id)) id += 2;
  return id;
}

void CGroupsDlg::EndEditing(int which, const QPersistentModelIndex& index, const std::optional<QString>& text) {
  QListWidget* list = lists_[which];
  const int row = index.isValid() ? index.row() : -1;
  QListWidgetItem* item = row >= 0 ? list->item(row) : nullptr;
  const std::u16string name = Trim(text.value_or(QString()).toStdU16String());
  if (item && !name.empty() && grouped_list_) {
    bool duplicate = false;
    for (int r = 0; r < list->count() && !duplicate; ++r)
      duplicate = r != row && EqualsNoCase(Trim(list->item(r)->text().toStdU16String()), name);
    if (duplicate) {
      messages_.Warning(u"String already exists in the list");
    } else if (name.find_first_of(u"<>") != std::u16string::npos) {
      // A group line is name<flag>members: an angle bracket in the name would
      // end it early, and the file would read back other groups and members.
      messages_.Warning(u"A group name cannot contain \"<\" or \">\".");
    } else if (item->data(kGroupIdRole).isValid()) {
      // An existing row: the group takes the new name and keeps its id.
      item->setText(*text);
      grouped_list_->SetGroupTitle(item->data(kGroupIdRole).toInt(), text->toStdU16String());
    } else {
      item->setText(*text);
      list->setCurrentItem(item);
      item->setCheckState(Qt::Checked);
      const int id = NewGroupId(which, row);
      item->setData(kGroupIdRole, id);
      grouped_list_->AddGroup(id, grouped_list_->GroupCount(), text->toStdU16String());
      grouped_list_->SetGroupChecked(id, 1);
    }
  }
  for (int r = list->count() - 1; r >= 0; --r)
    if (list->item(r)->text().isEmpty()) delete list->takeItem(r);
  list->viewport()->update();
  list->setFocus();
  UpdateRemoveButton(which);
}

void CGroupsDlg::Remove(int which) {
  QListWidget* list = lists_[which];
  const QList<QListWidgetItem*> selected = list->selectedItems();
  if (selected.isEmpty() || !grouped_list_) return;
  QListWidgetItem* item = selected.first();
  const int id = item->data(kGroupIdRole).toInt();
  if (grouped_list_->CountGroupItems(id) > 0) {
    messages_.Warning(
        u"Cannot remove a group which has actions associated with it.\n\nEdit/remove all actions within the "
        u"group first, and then delete the empty group.");
    return;
  }
  delete list->takeItem(list->row(item));
  grouped_list_->RemoveGroup(id);
}

void CGroupsDlg::UpdateRemoveButton(int which) {
  const QList<QListWidgetItem*> selected = lists_[which]->selectedItems();
  remove_[which]->setEnabled(selected.size() == 1 && lists_[which]->row(selected.first()) != 0);
}

void CGroupsDlg::Ok() {
  show_groups_ = show_groups_box_->isChecked();
  if (grouped_list_) {
    for (QListWidget* list : lists_)
      for (int r = 0; r < list->count(); ++r) {
        const QVariant id = list->item(r)->data(kGroupIdRole);
        if (id.isValid()) grouped_list_->SetGroupChecked(id.toInt(), list->item(r)->checkState() == Qt::Checked ? 1 : 0);
      }
  }
  accept();
}

}  // namespace kestrel
