#include "editor/group_choice.h"

#include <QComboBox>

#include "controls/qt_text.h"
#include "document/grouped_list.h"

namespace kestrel {

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
