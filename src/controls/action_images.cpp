#include "controls/action_images.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kestrel {
namespace {

// Both pictures are drawn on a 16 by 16 grid and scaled to the pixmap's size.
void DrawFolder(QPainter& p) {
  const QColor edge(156, 112, 16);
  QPainterPath back;
  back.moveTo(1.5, 3.5);
  back.lineTo(6.0, 3.5);
  back.lineTo(7.5, 5.0);
  back.lineTo(14.5, 5.0);
  back.lineTo(14.5, 13.5);
  back.lineTo(1.5, 13.5);
  back.closeSubpath();
  p.setPen(QPen(edge, 1.0));
  p.setBrush(QColor(226, 172, 46));
  p.drawPath(back);
  QPainterPath front;
  front.moveTo(1.5, 13.5);
  front.lineTo(3.0, 7.0);
  front.lineTo(15.5, 7.0);
  front.lineTo(14.5, 13.5);
  front.closeSubpath();
  QLinearGradient fill(0, 7, 0, 13.5);
  fill.setColorAt(0, QColor(255, 226, 120));
  fill.setColorAt(1, QColor(246, 196, 70));
  p.setBrush(fill);
  p.drawPath(front);
}

void DrawRegistryDocument(QPainter& p) {
  QPainterPath page;
  page.moveTo(2.5, 0.5);
  page.lineTo(10.0, 0.5);
  page.lineTo(13.5, 4.0);
  page.lineTo(13.5, 15.5);
  page.lineTo(2.5, 15.5);
  page.closeSubpath();
  p.setPen(QPen(QColor(96, 104, 120), 1.0));
  p.setBrush(Qt::white);
  p.drawPath(page);
  QPainterPath fold;
  fold.moveTo(10.0, 0.5);
  fold.lineTo(10.0, 4.0);
  fold.lineTo(13.5, 4.0);
  p.setBrush(QColor(214, 220, 230));
  p.drawPath(fold);
  // Three coloured blocks, the usual sign for registry data.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 110, 210));
  p.drawRect(QRectF(4.5, 6.0, 4.0, 4.0));
  p.setBrush(QColor(220, 70, 50));
  p.drawRect(QRectF(9.0, 8.0, 3.0, 3.0));
  p.setBrush(QColor(60, 160, 70));
  p.drawRect(QRectF(5.5, 11.0, 3.5, 3.0));
}

QIcon Render(void (*draw)(QPainter&)) {
  QIcon icon;
  for (int size : {16, 32}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    draw(p);
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace

const QIcon& ActionIcon(int image) {
  static const QIcon folder = Render(DrawFolder);
  static const QIcon registry = Render(DrawRegistryDocument);
  return image == kRegistryImage ? registry : folder;
}

}  // namespace kestrel
