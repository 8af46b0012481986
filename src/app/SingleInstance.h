#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

// One program per user and settings file. The first start holds a lock and listens for later
// ones; a later start asks it to come to the front and quits, rather than opening a second,
// empty window on the same settings. Another settings file ("--settings") is another program.
class TSingleInstance : public QObject {
  Q_OBJECT

 public:
  static inline const QString kAlreadyRunning = QStringLiteral("Courtsider 99 is already running.");
  // How long a later start waits for the first to answer.
  static constexpr int kAnswerWait = 5000;

  // `folder` keeps the lock (the user's runtime folder); `settingsFile` is the settings store
  // the program runs on.
  TSingleInstance(const QString& folder, const QString& settingsFile, QObject* parent = nullptr);
  ~TSingleInstance() override;

  enum class TStart {
    First,        // this process is the program; it listens for later starts
    Raised,       // the program runs already and was asked to come to the front
    Unreachable,  // the program runs already and did not answer
  };
  TStart Claim();

 signals:
  // A later start asked for the window.
  void RaiseRequested();

 private:
  void Answer();

  QString FName;
  QLockFile FLock;
  QLocalServer FServer;
};
