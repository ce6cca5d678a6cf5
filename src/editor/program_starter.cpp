#include "editor/program_starter.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

namespace kestrel {

QString QtProgramStarter::FindProgram(const QString& name) const {
  return QStandardPaths::findExecutable(name);
}

bool QtProgramStarter::StartDetached(const QString& program, const QStringList& arguments,
                                     const QStringList& environment) {
  QProcess process;
  process.setProgram(program);
  process.setArguments(arguments);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const QString& entry : environment) {
    const qsizetype equals = entry.indexOf(u'=');
    if (equals > 0) env.insert(entry.left(equals), entry.mid(equals + 1));
  }
  process.setProcessEnvironment(env);
  // The started program's chatter does not belong in our terminal.
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  return process.startDetached();
}

}  // namespace kestrel
