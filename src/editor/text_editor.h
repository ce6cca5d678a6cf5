#pragma once
// Opening a file in the desktop's text editor. The program that opens plain
// text is asked for (xdg-mime) and started from its desktop entry; plug-in
// files are not given to xdg-open directly, which would hand them to the
// application registered for plug-ins, this editor. Always a program and an
// argument list, never a shell command line.

#include <QString>
#include <QStringList>
#include <optional>

namespace kestrel {

class ProgramStarter;

struct ProgramLaunch {
  QString program;
  QStringList arguments;
};

// The program and arguments a desktop entry's Exec value gives for one file:
// quoted arguments and their escapes undone, %f %F %u %U replaced by the file,
// %% by "%", other field codes dropped; the file appended when no code takes
// it. nullopt for an empty or badly quoted value.
std::optional<ProgramLaunch> LaunchFromExec(const QString& exec, const QString& file);

// The Exec value of the "[Desktop Entry]" group of a desktop file's text,
// with the value escapes (\s \n \t \r \\) undone; empty when there is none.
QString DesktopEntryExec(const QString& desktop_file_text);

// Starts the desktop's text editor on `file`, not waiting for it: the default
// application for text/plain, else xdg-open. False when nothing could start.
bool OpenInTextEditor(ProgramStarter& programs, const QString& file);

}  // namespace kestrel
