#pragma once
// Sizes given in dialog units, the unit dialog templates are drawn in: a
// quarter of the font's average character width across, an eighth of its
// height down. Used for the minimum widths that keep a dialog's proportions
// with whatever font the desktop uses.

class QWidget;

namespace kestrel {

int DialogUnitsX(const QWidget* widget, int units);
int DialogUnitsY(const QWidget* widget, int units);

}  // namespace kestrel
