#pragma once
// Grey hint text in an edit, shown only while the edit is empty and does not
// have the focus (Qt's own placeholder would stay in a focused empty edit).

#include <QString>

class QLineEdit;

namespace kestrel {

// Sets or replaces the edit's hint.
void SetHint(QLineEdit* edit, const QString& hint);
// The hint set with SetHint, whether or not it shows at the moment.
QString HintOf(const QLineEdit* edit);

}  // namespace kestrel
