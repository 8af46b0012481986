#pragma once

#include <QFile>
#include <QSaveFile>
#include <QString>
#include <functional>
#include <memory>

// A file that is a plain sequence of fixed-size records with no header. Every failed
// primitive throws EInOutError with the system's reason.
//
// Whole-file saves never write over the records in place: BeginSave starts a temporary file
// beside the real one, Write appends records to it while a save is running, and CommitSave
// swaps it in only when every record was written. A save that fails leaves the old file as
// it was.
class TTypedFile {
 public:
  using TSaveDeviceFactory = std::function<std::unique_ptr<QSaveFile>(const QString& path)>;

  void Assign(const QString& path, int recordSize);
  const QString& Path() const { return FPath; }
  int RecordSize() const { return FRecordSize; }

  // A read-only file opens without write access (a pool on a read-only share can still be
  // read); it must not be saved.
  void SetReadOnly(bool readOnly) { FReadOnly = readOnly; }
  bool ReadOnly() const { return FReadOnly; }

  void Reset();    // open the existing file for reading (and writing unless read-only), at record 0
  void Rewrite();  // create or truncate the file, held open at record 0
  void Close();
  bool IsOpen() const { return FFile.isOpen(); }

  void Read(char* record);         // the next record; a short read fails
  void Write(const char* record);  // the next record, into the running save if there is one
  void Seek(qint64 record);
  qint64 FileSize() const;  // whole records only

  void BeginSave();
  void CommitSave();
  void CancelSave();
  bool Saving() const { return FSave != nullptr; }

  // Tests replace the temporary file of a save, for example with one that fails partway.
  static void SetSaveDeviceFactory(TSaveDeviceFactory factory);

 private:
  [[noreturn]] void Fail(const QFileDevice& device) const;
  void Open(QIODevice::OpenMode mode);

  QString FPath;
  int FRecordSize = 1;
  bool FReadOnly = false;
  QFile FFile;
  std::unique_ptr<QSaveFile> FSave;
};
