#include "controls/dialog_units.h"

#include <QFontMetrics>
#include <QWidget>

namespace kestrel {
namespace {

// Average width of the 52 letters, the measure dialog units are based on.
int BaseWidth(const QWidget* widget) {
  const QFontMetrics metrics(widget->font());
  static const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
  return (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
}

}  // namespace

int DialogUnitsX(const QWidget* widget, int units) { return units * BaseWidth(widget) / 4; }

int DialogUnitsY(const QWidget* widget, int units) {
  return units * QFontMetrics(widget->font()).height() / 8;
}

}  // namespace kestrel
