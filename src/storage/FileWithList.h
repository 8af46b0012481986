#pragma once

#include <QDir>
#include <QString>
#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "InOutError.h"
#include "PoolFileError.h"
#include "TypedFile.h"
#include "Win1252.h"

// Common base of the pool files that hold a list of items, one per record: the teams and the
// player picks. The whole file is read into the list when a pool opens and the whole list is
// written back on save; in between, all editing happens on the items. The base holds what the
// two share: the list and its flags, the record file, its one-record buffer and the pool
// folder; a descendant adds its record layout, how it opens and how it writes a record.
template <class TItem, int RecordSize>
class TFileWithList {
 public:
  using TItems = std::vector<std::unique_ptr<TItem>>;
  static constexpr int kRecordSize = RecordSize;

  TFileWithList(QString fileName, QString errorPrefix)
      : FFileName(std::move(fileName)), FErrorPrefix(std::move(errorPrefix)) {}
  virtual ~TFileWithList() = default;
  TFileWithList(const TFileWithList&) = delete;
  TFileWithList& operator=(const TFileWithList&) = delete;

  virtual void Open() = 0;
  // Creates the file empty (or empties it) and holds it open; failures propagate.
  virtual void CreateNew() {
    Bind();
    FFile.Rewrite();
    FFile.Sync();
    FIsOpen = true;
  }
  virtual void ReadRecord() { FFile.Read(FBuffer.data()); }
  // Writes the buffer as the next record; throws EInOutError.
  virtual void WriteRecord() = 0;
  // Closes the file; a failure comes back to be shown, and the file counts as closed anyway.
  virtual TPoolFileError Close() {
    TPoolFileError failure;
    try {
      FFile.Close();
    } catch (const EInOutError& error) {
      failure = {FErrorPrefix, kCloseOperation, error.Reason()};
    }
    FIsOpen = false;
    return failure;
  }

  void SetDirectory(const QString& path) { FDirectory = path; }
  void SetReadOnly(bool readOnly, const QString& readFrom = {}) {
    FFile.SetReadOnly(readOnly, readFrom);
  }
  // Whole records in the file, counted in 64 bits: a damaged or hostile file may claim more
  // than an int holds.
  qint64 RecordCount() const { return FFile.FileSize(); }

  const TItems& List() const { return FList; }
  // Appends without touching the modified flag; editing callers set it themselves.
  int Add(std::unique_ptr<TItem> item) {
    FList.push_back(std::move(item));
    return static_cast<int>(FList.size()) - 1;
  }
  // Puts an item back at `index` (clamped to the list), as Add does.
  void Insert(int index, std::unique_ptr<TItem> item) {
    const auto at = static_cast<size_t>(std::clamp(index, 0, static_cast<int>(FList.size())));
    FList.insert(FList.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
  }
  // Unlinks the item and hands it back to the caller; marks the file modified even when the
  // item was not in the list.
  std::unique_ptr<TItem> Remove(const TItem* item) {
    FModified = true;
    auto it = std::find_if(FList.begin(), FList.end(),
                           [item](const std::unique_ptr<TItem>& p) { return p.get() == item; });
    if (it == FList.end())
      return nullptr;
    std::unique_ptr<TItem> removed = std::move(*it);
    FList.erase(it);
    return removed;
  }
  TItem* Items(int index) const { return FList.at(static_cast<size_t>(index)).get(); }
  int Count() const { return static_cast<int>(FList.size()); }
  // Destroys every item; the modified flag is left as it was.
  void Clear() { FList.clear(); }

  bool Modified() const { return FModified; }
  void SetModified(bool value) { FModified = value; }
  bool IsOpen() const { return FIsOpen; }
  void SetIsOpen(bool value) { FIsOpen = value; }

  // The pool's save: see TFFDataModule::SavePool.
  TTypedFile& File() { return FFile; }
  const QString& ErrorPrefix() const { return FErrorPrefix; }

 protected:
  // Points the record file at this file of the pool folder.
  void Bind() { FFile.Assign(QDir(FDirectory).filePath(FFileName), kRecordSize); }

  // How many records to load: the file's count, refused when it is more than `limit` items
  // (named `what`) of a real pool.
  int CountToLoad(qint64 limit, const char* what) const {
    const qint64 count = RecordCount();
    if (count > limit) {
      throw EInOutError(QFileDevice::ReadError,
                        QStringLiteral("%1 holds %2 records, more than the %3 %4 a pool can have")
                            .arg(QDir::toNativeSeparators(FFile.Path()), QString::number(count),
                                 QString::number(limit), QLatin1String(what)));
    }
    return static_cast<int>(count);
  }

  // Writes every item into the file's staged copy through the descendant's WriteRecord,
  // after `fill` copied the item into the record buffer. Throws EInOutError at the first
  // failure; the staged copy is then gone and the file on disk untouched. More than `limit`
  // items (named `what`) are refused before anything is written: no pool is ever written
  // that the program could not open again. The modified flag is the pool's to clear, once
  // every file of the save is in place.
  template <class TFill>
  void SaveItems(qint64 limit, const char* what, TFill fill) {
    if (static_cast<qint64>(FList.size()) > limit) {
      throw EInOutError(
          QFileDevice::WriteError,
          QStringLiteral("%1: the pool would hold %2 %4, more than the %3 %4 a "
                         "pool can have")
              .arg(QDir::toNativeSeparators(FFile.Path()), QString::number(FList.size()),
                   QString::number(limit), QLatin1String(what)));
    }
    FFile.BeginSave();
    try {
      for (const auto& item : FList) {
        fill(*item);
        WriteRecord();
      }
      FFile.FinishSave();
    } catch (const EInOutError&) {
      FFile.CancelSave();
      throw;
    }
  }

  // A value read from record `record` (0-based) that a pool cannot hold refuses the file,
  // naming the record and the field.
  void CheckRange(qint64 record, const QString& field, int32_t value, int32_t low,
                  int32_t high) const {
    RecordField::CheckRange(FFile.Path(), record, field, value, low, high);
  }

  TItems FList;
  bool FModified = false;
  bool FIsOpen = false;
  TTypedFile FFile;
  std::array<char, kRecordSize> FBuffer{};
  QString FDirectory;

 private:
  QString FFileName;
  QString FErrorPrefix;
};
