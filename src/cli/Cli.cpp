#include "Cli.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <memory>

#include "ConsoleReportUi.h"
#include "FFDataModule.h"
#include "InOutError.h"
#include "OpenPool.h"
#include "PublishOnSave.h"
#include "SafeFile.h"
#include "Version.h"

namespace Cli {

namespace {
bool Open(const QString& directory, TFFDataModule& pool, TCliIO& io,
          TFFDataModule::TOpenMode mode) {
  pool.SetDirectory(directory);
  QString reason;
  if (!QFileInfo(directory).isDir()) {
    reason = QStringLiteral("No such pool folder: ") + directory;
  } else {
    try {
      pool.OpenPool(mode);
      if (!pool.OpenNotice().isEmpty())
        WriteLine(io.Err, pool.OpenNotice());
      return true;
    } catch (const EInOutError& error) {
      reason = error.Reason();
    }
  }
  WriteLine(io.Err, kOpenError);
  WriteLine(io.Err, reason);
  ClosePoolUnsaved(pool);
  return false;
}
}  // namespace

bool OpenPoolForReading(const QString& directory, TFFDataModule& pool, TCliIO& io) {
  return Open(directory, pool, io, TFFDataModule::TOpenMode::ReadOnly);
}

bool OpenPoolForChange(const QString& directory, TFFDataModule& pool, TCliIO& io) {
  return Open(directory, pool, io, TFFDataModule::TOpenMode::ReadWrite);
}

bool OpenDocumentForChange(const QString& directory, TOpenPool& document, TCliIO& io) {
  auto module = std::make_unique<TFFDataModule>();
  if (!OpenPoolForChange(directory, *module, io))
    return false;
  document.SetDataModule(std::move(module));
  // A pool published on every save is published after each of the tool's saves too; a page
  // that cannot be written is told and holds nothing up.
  QObject::connect(&document, &TOpenPool::Saved, &document, [&document, &io] {
    QString error;
    if (document.DataModule()->SaveError().IsNull() &&
        !PublishOnSave::Publish(*document.DataModule(), &error))
      WriteLine(io.Err, error);
  });
  return true;
}

bool ReadSmallFile(const QString& file, qint64 limit, QByteArray* bytes, TCliIO& io) {
  QString reason;
  if (DiskFile::ReadAtMost(file, limit, bytes, &reason))
    return true;
  WriteLine(io.Err, QStringLiteral("Cannot read %1: %2").arg(file, reason));
  return false;
}

void RefuseUnchanged(const QString& why, TCliIO& io) {
  WriteLine(io.Err, why + QStringLiteral("\nNothing was changed; the pool is as it was."));
}

bool SaveAndClose(TOpenPool& document, TCliIO& io) {
  const bool saved = document.Save();
  const QString saveError = document.SaveError();
  document.Close();
  if (!saved) {
    WriteLine(io.Err, saveError);
    WriteLine(io.Err, QStringLiteral("The pool could not be saved; it is as it was."));
  }
  return saved;
}

void ClosePoolUnsaved(TFFDataModule& pool) {
  // Closing never writes: a pool the tool changes is saved by its command, before this.
  pool.ClosePool();
}

bool WriteFile(const QString& file, const QByteArray& bytes, TCliIO& io) {
  QString reason;
  if (TSafeFile::WriteWhole(file, bytes, &reason))
    return true;
  WriteLine(io.Err, QStringLiteral("Cannot write ") + reason);
  return false;
}

void WriteLine(QIODevice& device, const QString& line) {
  device.write(line.toUtf8());
  device.write("\n", 1);
}

QString TakeOption(QStringList& arguments, const QString& name, const QString& fallback) {
  const int at = arguments.indexOf(name);
  if (at < 0)
    return fallback;
  if (at + 1 >= arguments.size())
    throw TUsageError("missing value after " + name.toStdString());
  const QString value = arguments.at(at + 1);
  arguments.remove(at, 2);
  return value;
}

QString TakeChoice(QStringList& arguments, const QString& name, const QStringList& choices) {
  const QString value = TakeOption(arguments, name, choices.first());
  if (!choices.contains(value)) {
    throw TUsageError(
        (name + QStringLiteral(" must be one of: ") + choices.join(", ")).toStdString());
  }
  return value;
}

int TakeThreads(QStringList& arguments) {
  const QString value = TakeOption(arguments, QStringLiteral("--threads"));
  if (value.isEmpty())
    return 0;
  bool number = false;
  const int threads = value.toInt(&number);
  if (!number || threads < 1)
    throw TUsageError("--threads must be a whole number of at least 1");
  return threads;
}

QString TakeDirectory(QStringList& arguments) {
  if (arguments.size() != 1 || arguments.first().startsWith(QLatin1String("--"))) {
    throw TUsageError("expected one pool folder");
  }
  return arguments.takeFirst();
}

}  // namespace Cli

namespace {
void PrintUsage(QIODevice& device) {
  Cli::WriteLine(device, QStringLiteral("usage: courtsider-cli COMMAND ..."));
  for (const TCliCommand& command : CliCommands()) {
    Cli::WriteLine(device, QStringLiteral("  courtsider-cli ") + QLatin1String(command.Usage));
  }
  Cli::WriteLine(device, QStringLiteral("  courtsider-cli --help | --version"));
}
}  // namespace

int RunCli(const QStringList& arguments, TCliIO& io) {
  // Only the tool's own options come before the command; what follows the command is its own.
  QCommandLineParser parser;
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Print the commands and quit."));
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("Print the version and quit."));
  parser.addOptions({help, version});
  if (!parser.parse(QStringList{QStringLiteral("courtsider-cli")} + arguments)) {
    Cli::WriteLine(io.Err, parser.errorText());
    PrintUsage(io.Err);
    return 2;
  }
  const QStringList rest = parser.positionalArguments();
  if (parser.isSet(version)) {
    Cli::WriteLine(io.Out, QStringLiteral("courtsider-cli ") + kProgramVersion);
    return 0;
  }
  if (parser.isSet(help) || rest.value(0) == QLatin1String("help")) {
    PrintUsage(io.Out);
    return 0;
  }
  if (rest.isEmpty()) {
    PrintUsage(io.Err);
    return 2;
  }
  // Long work says how far it has got, on a terminal.
  TConsoleReportUi progress(io.Err, TConsoleReportUi::IsTerminal(io.Err));
  const TReportUiScope showingProgress(&progress);
  for (const TCliCommand& command : CliCommands()) {
    if (rest.first() != QLatin1String(command.Name))
      continue;
    try {
      return command.Run(rest.mid(1), io);
    } catch (const TUsageError& error) {
      Cli::WriteLine(io.Err, QString::fromStdString(error.what()));
      Cli::WriteLine(io.Err,
                     QStringLiteral("usage: courtsider-cli ") + QLatin1String(command.Usage));
      return 2;
    } catch (const std::exception& error) {
      // Nothing a damaged pool holds may take the tool down without a word.
      Cli::WriteLine(io.Err, Cli::kUnexpectedError + QString::fromLocal8Bit(error.what()));
      return 1;
    } catch (...) {
      Cli::WriteLine(io.Err, Cli::kUnexpectedError + QStringLiteral("unknown error"));
      return 1;
    }
  }
  Cli::WriteLine(io.Err, QStringLiteral("unknown command: ") + rest.first());
  PrintUsage(io.Err);
  return 2;
}
