#pragma once

#include <QBuffer>
#include <QJsonDocument>
#include <QStringList>

#include "Cli.h"

// Runs the command-line tool in-process and keeps what it wrote.
struct TCliRun {
  int Status = -1;
  QByteArray Out;
  QByteArray Err;

  QJsonDocument Json() const { return QJsonDocument::fromJson(Out); }
};

inline TCliRun RunTool(const QStringList& arguments) {
  QBuffer out;
  QBuffer err;
  out.open(QIODevice::WriteOnly);
  err.open(QIODevice::WriteOnly);
  TCliIO io{out, err};
  TCliRun run;
  run.Status = RunCli(arguments, io);
  run.Out = out.data();
  run.Err = err.data();
  return run;
}
