#include "editor/group_choice.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>

#include "controls/dialog_units.h"

#include "controls/qt_text.h"
#include "document/grouped_list.h"

namespace kestrel {

GroupChoiceRow MakeGroupChoiceRow(QWidget* dialog, int choice_width_dialog_units) {
  GroupChoiceRow row{};
  row.choice = new QComboBox(dialog);
  row.choice->setObjectName(QStringLiteral("groupChoice"));
  row.choice->setMinimumWidth(DialogUnitsX(dialog, choice_width_dialog_units));
  row.ok = new QPushButton(QStringLiteral("OK"), dialog);
  row.ok->setObjectName(QStringLiteral("okButton"));
  row.ok->setDefault(true);
  row.cancel = new QPushButton(QStringLiteral("Cancel"), dialog);
  row.cancel->setObjectName(QStringLiteral("cancelButton"));
  row.cancel->setAutoDefault(false);
  for (QPushButton* button : {row.ok, row.cancel}) button->setMinimumWidth(DialogUnitsX(dialog, 50));
  row.layout = new QHBoxLayout;
  row.layout->addWidget(row.choice);
  row.layout->addStretch(1);
  row.layout->addWidget(row.ok);
  row.layout->addWidget(row.cancel);
  return row;
}

void FillGroupChoice(QComboBox* choice, const CGroupedList* list, bool registry, int group_id) {
  choice->clear();
  if (!list) return;
  // The count is asked anew on every turn, as the list answers it.
  for (int position = 0; position < list->GroupCount(); ++position) {
    const int id = list->GroupIdAt(position);
    // -1 is no group: the list could not tell one at this position.
    if (id < 0 || IsRegistryGroup(id) != registry) continue;
    choice->addItem(ToQString(list->GroupTitle(id)), id);
  }
  const int selected = choice->findData(group_id);
  choice->setCurrentIndex(selected >= 0 ? selected : (choice->count() > 0 ? 0 : -1));
}

}  // namespace kestrel
