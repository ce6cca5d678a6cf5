#include "editor/about_dlg.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "controls/dialog_units.h"

namespace kestrel {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Kestrel"));
  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("aboutIcon"));
  const int icon_size = DialogUnitsY(this, 20);
  icon->setPixmap(QApplication::windowIcon().pixmap(icon_size, icon_size));
  icon->setFixedSize(icon_size, icon_size);
  auto* name = new QLabel(QStringLiteral("Kestrel, Version 1.0"), this);
  name->setObjectName(QStringLiteral("aboutVersion"));
  auto* line = new QLabel(QStringLiteral("Writes cleaner plug-ins and shows what they would delete."), this);
  line->setObjectName(QStringLiteral("aboutLine"));
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("okButton"));
  ok->setDefault(true);
  ok->setMinimumWidth(DialogUnitsX(this, 50));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QGridLayout(this);
  layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
  layout->addWidget(name, 0, 1);
  layout->addWidget(line, 1, 1);
  layout->addWidget(ok, 2, 1, Qt::AlignRight);
  layout->setColumnStretch(1, 1);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace kestrel
