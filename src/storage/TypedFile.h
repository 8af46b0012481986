#pragma once

#include <QFile>
#include <QString>
#include <memory>

class TSafeFile;

// A file that is a plain sequence of fixed-size records with no header. Every failed
// primitive throws EInOutError with the file and the system's reason.
//
// A save never writes over the records in place: BeginSave starts the file's staged copy
// beside it ("Teams.dat.new", a TSafeFile), Write appends records to it while a save is
// running and FinishSave syncs it. The pool's save (TPoolSave) then puts the staged copies of
// all its files in place together, so a pool is always either all old or all new.
class TTypedFile {
 public:
  TTypedFile();
  ~TTypedFile();
  TTypedFile(const TTypedFile&) = delete;
  TTypedFile& operator=(const TTypedFile&) = delete;

  static inline const QString kStagedSuffix = QStringLiteral(".new");

  void Assign(const QString& path, int recordSize);
  const QString& Path() const { return FPath; }
  QString StagedPath() const { return FPath + kStagedSuffix; }
  int RecordSize() const { return FRecordSize; }

  // A read-only file opens without write access (a pool on a read-only share can still be
  // read); it must not be saved. `readFrom`, when given, is read instead of the file itself:
  // the copy that a save cut short leaves to be put in place on the next writable open.
  void SetReadOnly(bool readOnly, const QString& readFrom = {});
  bool ReadOnly() const { return FReadOnly; }

  void Reset();    // open the existing file for reading (and writing unless read-only), at record 0
  void Rewrite();  // create or truncate the file, held open at record 0
  void Close();
  bool IsOpen() const { return FFile.isOpen(); }
  // Lets go of the held handle while a save replaces the file, and takes it up again on
  // whatever file is in place afterwards.
  void Release();
  void Reacquire();

  void Read(char* record);         // the next record; a short read fails
  void Write(const char* record);  // the next record, into the running save if there is one
  void Sync();                     // flushes and syncs records written in place
  void Seek(qint64 record);
  qint64 FileSize() const;  // whole records only

  void BeginSave();
  void FinishSave();  // the staged copy is complete and on disk; throws otherwise
  void CancelSave();  // removes the staged copy
  // Lets go of a finished staged copy without removing it: a save that could neither finish
  // nor undo itself leaves it for the next open to put in place.
  void KeepSave();
  bool Saving() const { return FStage != nullptr; }
  // The staged copy's size and checksum, for the marker of the pool's save.
  qint64 StagedSize() const;
  QString StagedChecksum() const;

 private:
  [[noreturn]] void Fail(const QFileDevice& device) const;
  [[noreturn]] void Fail(const QString& path, int code, const QString& reason) const;
  void Open(QIODevice::OpenMode mode);
  QString PathToRead() const;

  QString FPath;
  int FRecordSize = 1;
  bool FReadOnly = false;
  QString FReadFrom;
  bool FReleased = false;
  QFile FFile;
  std::unique_ptr<TSafeFile> FStage;
};
