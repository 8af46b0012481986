#pragma once

#include <QIODevice>
#include <QStringList>
#include <stdexcept>

class TFFDataModule;
class TOpenPool;

// Where a command writes: its result on Out, messages on Err.
struct TCliIO {
  QIODevice& Out;
  QIODevice& Err;
};

// A wrong command line: the tool prints the usage and exits with status 2.
class TUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One command of the tool. `Run` gets the arguments after the command's name and returns the
// exit status.
struct TCliCommand {
  const char* Name;
  const char* Usage;
  int (*Run)(const QStringList& arguments, TCliIO& io);
};

const std::vector<TCliCommand>& CliCommands();

// Runs the tool on its arguments (without the program's name); returns the exit status.
int RunCli(const QStringList& arguments, TCliIO& io);

namespace Cli {
inline const QString kOpenError = QStringLiteral("Error opening pool database");
inline const QString kUnexpectedError = QStringLiteral("courtsider-cli: the command failed: ");

// Opens the pool in `directory` read-only: nothing in the folder is written or created. When it
// cannot be opened, prints the open error and the reason on Err and returns false.
bool OpenPoolForReading(const QString& directory, TFFDataModule& pool, TCliIO& io);
// Opens the pool in `directory` to change it, holding the pool's lock until it is closed; the
// one command that does is the import. Another program holding the lock refuses it at once.
bool OpenPoolForChange(const QString& directory, TFFDataModule& pool, TCliIO& io);
// Opens the pool in `directory` to change it through `document`, as the program changes it:
// import-picks, scoring and serve.
bool OpenDocumentForChange(const QString& directory, TOpenPool& document, TCliIO& io);
// Saves and closes a pool opened by OpenDocumentForChange; when the save fails, prints why on
// Err and returns false, the pool on disk as it was.
bool SaveAndClose(TOpenPool& document, TCliIO& io);
// Writes `bytes` to `file` whole or not at all; on failure prints why on Err and returns false.
bool WriteFile(const QString& file, const QByteArray& bytes, TCliIO& io);
// Reads the whole of a file given on the command line that is at most `limit` bytes long, as
// a field sheet or a results file is; on failure prints why on Err and returns false.
bool ReadSmallFile(const QString& file, qint64 limit, QByteArray* bytes, TCliIO& io);
// Prints why a file or a command was refused, and that the pool is as it was.
void RefuseUnchanged(const QString& why, TCliIO& io);
// Closes a pool that was only read: nothing is saved, nothing is asked.
void ClosePoolUnsaved(TFFDataModule& pool);

void WriteLine(QIODevice& device, const QString& line);

// The value of "--name VALUE" in `arguments` (removed from them), or `fallback`.
QString TakeOption(QStringList& arguments, const QString& name, const QString& fallback = {});
// The value of "--name VALUE", which must be one of `choices` (the first when not given).
QString TakeChoice(QStringList& arguments, const QString& name, const QStringList& choices);
// The value of "--threads N", a whole number of at least 1; 0 when not given.
int TakeThreads(QStringList& arguments);
// The single positional argument left, or a usage error.
QString TakeDirectory(QStringList& arguments);
}  // namespace Cli
