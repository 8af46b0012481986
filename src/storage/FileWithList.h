#pragma once

#include <QString>
#include <algorithm>
#include <memory>
#include <vector>

#include "InOutError.h"
#include "PoolFileError.h"
#include "TypedFile.h"

// Common base of the pool files that hold a list of items, one per record. The whole file is
// read into the list when a pool opens and the whole list is written back on save; in
// between, all editing happens on the items.
template <class TItem>
class TFileWithList {
 public:
  using TItems = std::vector<std::unique_ptr<TItem>>;

  explicit TFileWithList(QString errorPrefix) : FErrorPrefix(std::move(errorPrefix)) {}
  virtual ~TFileWithList() = default;
  TFileWithList(const TFileWithList&) = delete;
  TFileWithList& operator=(const TFileWithList&) = delete;

  virtual void Open() = 0;
  virtual void CreateNew() = 0;
  virtual void ReadRecord() = 0;
  virtual void WriteRecord() = 0;
  virtual void Close() = 0;

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

 protected:
  // Writes every item into a save of `file` through the descendant's WriteRecord, after
  // `fill` copied the item into the record buffer. The file on disk is replaced only when
  // every record went through; a failed save is reported once and leaves the file modified.
  // A failure to start the save propagates to the caller.
  template <class TFill>
  void SaveItems(TTypedFile& file, TFill fill) {
    file.BeginSave();
    FWriteFailed = false;
    for (const auto& item : FList) {
      fill(*item);
      WriteRecord();
      if (FWriteFailed)
        break;
    }
    if (!FWriteFailed) {
      try {
        file.CommitSave();
      } catch (const EInOutError&) {
        ReportWriteError();
      }
    }
    file.CancelSave();
    if (!FWriteFailed)
      FModified = false;
  }

  // For WriteRecord: writes the buffer, reporting a failure in the file's words.
  void WriteBuffer(TTypedFile& file, const char* record) {
    try {
      file.Write(record);
    } catch (const EInOutError&) {
      ReportWriteError();
    }
  }

  void CloseFile(TTypedFile& file) {
    try {
      file.Close();
    } catch (const EInOutError&) {
      ReportFileError(FErrorPrefix, kCloseOperation);
    }
    FIsOpen = false;
  }

  TItems FList;
  bool FModified = false;
  bool FIsOpen = false;

 private:
  void ReportWriteError() {
    FWriteFailed = true;
    ReportFileError(FErrorPrefix, kWriteOperation);
  }

  QString FErrorPrefix;
  bool FWriteFailed = false;
};
