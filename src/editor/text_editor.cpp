#include "editor/text_editor.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "editor/program_starter.h"

namespace kestrel {
namespace {

// Splits an Exec value into arguments: blanks separate them, double quotes
// group them, and inside quotes a backslash escapes " ` $ and \.
std::optional<QStringList> SplitExec(const QString& exec) {
  QStringList args;
  QString current;
  bool in_arg = false;
  bool quoted = false;
  for (qsizetype i = 0; i < exec.size(); ++i) {
    const QChar c = exec[i];
    if (quoted) {
      if (c == u'\\' && i + 1 < exec.size()) {
        current += exec[++i];
      } else if (c == u'"') {
        quoted = false;
      } else {
        current += c;
      }
    } else if (c == u'"') {
      quoted = true;
      in_arg = true;
    } else if (c == u' ' || c == u'\t') {
      if (in_arg) args << current;
      current.clear();
      in_arg = false;
    } else {
      current += c;
      in_arg = true;
    }
  }
  if (quoted) return std::nullopt;
  if (in_arg) args << current;
  return args;
}

// The text/plain handler's desktop file id, as xdg-mime reports it.
QString DefaultTextApplication(ProgramStarter& programs) {
  const QString xdg_mime = programs.FindProgram(QStringLiteral("xdg-mime"));
  if (xdg_mime.isEmpty()) return {};
  QProcess query;
  query.start(xdg_mime, {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/plain")});
  if (!query.waitForFinished(3000) || query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0) {
    query.kill();
    return {};
  }
  return QString::fromUtf8(query.readAllStandardOutput()).split(u'\n').value(0).trimmed();
}

}  // namespace

std::optional<ProgramLaunch> LaunchFromExec(const QString& exec, const QString& file) {
  const std::optional<QStringList> split = SplitExec(exec);
  if (!split || split->isEmpty()) return std::nullopt;
  QStringList args;
  bool file_given = false;
  for (const QString& arg : *split) {
    // A field code standing alone: replaced by the file or dropped.
    if (arg.size() == 2 && arg[0] == u'%' && arg[1] != u'%') {
      if (QStringLiteral("fFuU").contains(arg[1]) && !file_given) {
        args << file;
        file_given = true;
      }
      continue;
    }
    QString out;
    for (qsizetype i = 0; i < arg.size(); ++i) {
      if (arg[i] != u'%' || i + 1 >= arg.size()) {
        out += arg[i];
        continue;
      }
      const QChar code = arg[++i];
      if (code == u'%') {
        out += u'%';
      } else if (QStringLiteral("fFuU").contains(code) && !file_given) {
        out += file;
        file_given = true;
      }
    }
    args << out;
  }
  if (!file_given) args << file;
  ProgramLaunch launch{args.takeFirst(), args};
  if (launch.program.isEmpty()) return std::nullopt;
  return launch;
}

QString DesktopEntryExec(const QString& desktop_file_text) {
  bool in_entry = false;
  for (const QString& raw : desktop_file_text.split(u'\n')) {
    const QString line = raw.trimmed();
    if (line.startsWith(u'[')) {
      in_entry = line == QStringLiteral("[Desktop Entry]");
      continue;
    }
    if (!in_entry || !line.startsWith(QStringLiteral("Exec"))) continue;
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0 || line.left(equals).trimmed() != QStringLiteral("Exec")) continue;
    const QString value = line.mid(equals + 1).trimmed();
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
      if (value[i] != u'\\' || i + 1 >= value.size()) {
        out += value[i];
        continue;
      }
      const QChar c = value[++i];
      if (c == u's') {
        out += u' ';
      } else if (c == u'n') {
        out += u'\n';
      } else if (c == u't') {
        out += u'\t';
      } else if (c == u'r') {
        out += u'\r';
      } else if (c == u'\\') {
        out += u'\\';
      } else {
        out += u'\\';  // not a value escape: left for the Exec quoting
        out += c;
      }
    }
    return out;
  }
  return {};
}

bool OpenInTextEditor(ProgramStarter& programs, const QString& file) {
  const QString id = DefaultTextApplication(programs);
  if (!id.isEmpty()) {
    QFile desktop(QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id));
    if (desktop.open(QIODevice::ReadOnly)) {
      const std::optional<ProgramLaunch> launch = LaunchFromExec(DesktopEntryExec(QString::fromUtf8(desktop.readAll())), file);
      if (launch) {
        const QString program = launch->program.contains(u'/') ? launch->program : programs.FindProgram(launch->program);
        if (!program.isEmpty() && programs.StartDetached(program, launch->arguments, {})) return true;
      }
    }
  }
  const QString xdg_open = programs.FindProgram(QStringLiteral("xdg-open"));
  return !xdg_open.isEmpty() && programs.StartDetached(xdg_open, {file}, {});
}

}  // namespace kestrel
