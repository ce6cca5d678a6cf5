#pragma once
// A line edit cuts its text at 32,767 characters unless told otherwise.
// Action strings have no such limit, and opening an action and pressing OK
// must never shorten it.

class QWidget;

namespace kestrel {

// Lifts the length limit of every line edit below `root`.
void AllowLongTexts(QWidget* root);

}  // namespace kestrel
