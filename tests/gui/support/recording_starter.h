#pragma once
// ProgramStarter for widget tests: knows the programs it is told about and
// records what would have been started.

#include <QMap>
#include <vector>

#include "editor/program_starter.h"

namespace kestrel::testing {

class RecordingStarter : public ProgramStarter {
 public:
  struct Start {
    QString program;
    QStringList arguments;
    QStringList environment;
  };

  QString FindProgram(const QString& name) const override { return installed.value(name); }
  bool StartDetached(const QString& program, const QStringList& arguments,
                     const QStringList& environment) override {
    started.push_back({program, arguments, environment});
    return true;
  }

  QMap<QString, QString> installed;  // name -> full path
  std::vector<Start> started;
};

}  // namespace kestrel::testing
