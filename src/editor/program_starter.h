#pragma once
// Starting other programs (the registry editor, a text editor) without waiting
// for them: always a program and an argument list, never a shell command line.

#include <QString>
#include <QStringList>

namespace kestrel {

class ProgramStarter {
 public:
  virtual ~ProgramStarter() = default;
  // Full path of the program found in PATH; empty when there is none.
  virtual QString FindProgram(const QString& name) const = 0;
  // Starts the program detached, its environment this process's plus
  // `environment` ("NAME=value" entries). True when it started.
  virtual bool StartDetached(const QString& program, const QStringList& arguments,
                             const QStringList& environment) = 0;
};

class QtProgramStarter : public ProgramStarter {
 public:
  QString FindProgram(const QString& name) const override;
  bool StartDetached(const QString& program, const QStringList& arguments,
                     const QStringList& environment) override;
};

}  // namespace kestrel
