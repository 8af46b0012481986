// Collecting picks online from the command line: the pick-entry page served until the closing
// time, then the pool's standings, read-only, until Ctrl+C. While it takes entries it changes
// the pool as the import does, every entry saved at once; once entries are closed it reads
// the pool as any reader does and lets go of its lock, so that results go in beside it.
#include <QDateTime>
#include <QEventLoop>
#include <QTimer>
#include <csignal>
#include <functional>
#include <memory>

#include "Cli.h"
#include "Clock.h"
#include "FFDataModule.h"
#include "LiveServer.h"
#include "OpenPool.h"
#include "OutsideText.h"
#include "PicksImport.h"
#include "PicksServer.h"

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm");

volatile std::sig_atomic_t StopAsked = 0;

void AskStop(int) {
  StopAsked = 1;
}

QString Now() {
  return TClock::Current().Now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// Runs `loop` until it quits or Ctrl+C (or a TERM signal) asks the tool to stop.
void RunUntilStopped(QEventLoop& loop) {
  StopAsked = 0;
  std::signal(SIGINT, AskStop);
  std::signal(SIGTERM, AskStop);
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, &loop, [&loop] {
    if (StopAsked)
      loop.quit();
  });
  watch.start(100);
  loop.exec();
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
}

// The pool served read-only until Ctrl+C, its files read as a reader reads them.
int ServeStandings(const QString& directory, const QString& address, quint16 port,
                   const std::function<void(const QString&)>& say, TCliIO& io) {
  TLiveServer server(directory);
  QString reason;
  if (!server.Start(address, port, &reason)) {
    Cli::WriteLine(io.Err, reason);
    return 1;
  }
  say(QStringLiteral("Entries are closed: serving the standings at %1, read-only. Ctrl+C stops.")
          .arg(TPicksServer::UrlOf(address, server.Port())));
  QEventLoop loop;
  RunUntilStopped(loop);
  server.Stop();
  say(QStringLiteral("Stopped."));
  return 0;
}

}  // namespace

int CmdServe(const QStringList& arguments, TCliIO& io) {
  QStringList rest = arguments;
  const QString portText =
      Cli::TakeOption(rest, QStringLiteral("--port"), QString::number(TPicksServer::kDefaultPort));
  const QString address =
      Cli::TakeOption(rest, QStringLiteral("--bind"), QStringLiteral("127.0.0.1"));
  const QString until = Cli::TakeOption(rest, QStringLiteral("--until"));
  const QString directory = Cli::TakeDirectory(rest);
  bool number = false;
  const int port = portText.toInt(&number);
  if (!number || port < 0 || port > 65535)
    throw TUsageError("--port must be a whole number from 0 (any free port) to 65535");
  QDateTime closes;
  if (!until.isEmpty()) {
    closes = QDateTime::fromString(until, kTimeFormat);
    if (!closes.isValid())
      throw TUsageError("--until must be a local time written \"YYYY-MM-DD HH:MM\"");
    if (closes <= TClock::Current().Now())
      throw TUsageError("the closing time given with --until has passed already");
  }

  auto say = [&io](const QString& line) {
    Cli::WriteLine(io.Out, line);
    // Each line reaches whoever watches the output at once, not when a block is full.
    io.Out.waitForBytesWritten(-1);
  };
  // A pool whose games have begun is only read: no lock is taken.
  {
    TOpenPool look;
    auto module = std::make_unique<TFFDataModule>();
    if (!Cli::OpenPoolForReading(directory, *module, io))
      return 1;
    look.SetDataModule(std::move(module));
    const bool locked = look.Finalized();
    const bool played = look.GamesPlayed();
    look.Close();
    if (!locked) {
      Cli::WriteLine(io.Err, TOpenPool::kNotLocked);
      return 1;
    }
    if (played)
      return ServeStandings(directory, address, static_cast<quint16>(port), say, io);
  }

  // The entries join the pool through its document, as in the program. While it takes them,
  // the tool is the pool's one writer.
  TOpenPool document;
  if (!Cli::OpenDocumentForChange(directory, document, io))
    return 1;
  TPicksServer server(document);
  QString reason;
  if (!server.Start(address, static_cast<quint16>(port), closes, &reason)) {
    Cli::WriteLine(io.Err, reason);
    document.Close();
    return 1;
  }
  say(QStringLiteral("Collecting picks for \"%1\" at %2 %3. Ctrl+C stops.")
          .arg(document.Options().PoolName.trimmed(), server.Url(),
               closes.isValid() ? QStringLiteral("until ") + closes.toString(kTimeFormat)
                                : QStringLiteral("until stopped")));
  int added = 0;
  int changed = 0;
  QObject::connect(&server, &TPicksServer::EntryTaken, [&](const QString& name, bool replaced) {
    ++(replaced ? changed : added);
    // Names come from the network: escaped, so that none can steer the terminal or forge a line.
    say(QStringLiteral("%1 %2 %3")
            .arg(Now(), replaced ? QStringLiteral("changed") : QStringLiteral("new entry"),
                 OutsideText::Quoted(name)));
  });
  QObject::connect(&server, &TPicksServer::EntryRefused,
                   [&](const QString& name, const QString& why) {
                     say(QStringLiteral("%1 refused %2: %3")
                             .arg(Now(), OutsideText::Quoted(name), OutsideText::Plain(why)));
                   });

  QEventLoop loop;
  QObject::connect(&server, &TPicksServer::EntriesClosed, &loop, &QEventLoop::quit);
  if (server.EntriesOpen())
    RunUntilStopped(loop);
  const quint16 bound = server.Port();
  server.Stop();
  // Every entry taken was saved when it came; nothing is left to write.
  document.Close();
  say(QStringLiteral("%1 %2 new entries, %3 changed.")
          .arg(StopAsked ? QStringLiteral("Stopped.") : QStringLiteral("Entries closed."))
          .arg(added)
          .arg(changed));
  if (StopAsked)
    return 0;
  // The same address goes on serving, now the standings.
  return ServeStandings(directory, address, bound, say, io);
}
