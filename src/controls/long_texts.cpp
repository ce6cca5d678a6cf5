#include "controls/long_texts.h"

#include <QLineEdit>
#include <limits>

namespace kestrel {

void AllowLongTexts(QWidget* root) {
  for (QLineEdit* edit : root->findChildren<QLineEdit*>()) edit->setMaxLength(std::numeric_limits<int>::max());
}

}  // namespace kestrel
