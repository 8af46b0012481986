#pragma once

#include <array>
#include <cstdint>

#include "PoolFileError.h"
#include "TypedFile.h"

// "System.dat": the pool's settings and state in one 108-byte record, kept in memory whole
// while the pool is open so that bytes we do not interpret survive a save untouched.
class TSystemFile {
 public:
  static constexpr int kRecordSize = 108;
  static constexpr int kPoolNameWidth = 30;
  static constexpr int kBracketNameWidth = 10;
  static inline const QString kFileName = QStringLiteral("System.dat");
  // A point value and the championship game's total, as the windows take them: 0 to 999.
  static constexpr int32_t kMaxPoints = 999;

  TSystemFile();

  void SetDirectory(const QString& path);
  void SetReadOnly(bool readOnly, const QString& readFrom = {}) {
    FFile.SetReadOnly(readOnly, readFrom);
  }
  // Both return true or raise EInOutError.
  bool Open();
  bool CreateNew();
  // Reads the record; a value out of range refuses it (EInOutError).
  void ReadRecord();
  // Writes the record into the file's staged copy for the pool's save; throws EInOutError.
  // The modified flag is the pool's to clear once the save is in place.
  void WriteRecord();
  // Closes the file; a failure comes back to be shown, and the file then stays open.
  TPoolFileError Close();
  // The pool's save: see TFFDataModule::SavePool.
  TTypedFile& File() { return FFile; }

  QString PoolName() const;
  QString BracketName(int i) const;  // i = 1..4
  int32_t RoundPoints(int k) const;  // chart round k = 2..7
  bool Finalized() const;
  int32_t TieBreakerPoints() const;

  // Each setter marks the file modified only when the value changes; names are compared
  // uncut and stored cut to their field.
  void SetPoolName(const QString& text);
  void SetBracketName(int i, const QString& text);
  void SetRoundPoints(int k, int32_t value);
  void SetFinalized(bool flag);
  void SetTieBreakerPoints(int32_t value);

  // The stored bytes of one part of the record, blanks after a name's length included, so
  // that an undo puts back exactly what was there: the settings (pool name, bracket names and
  // points, everything before the lock flag) or the actual tie-breaker total.
  enum class TPart { Settings, TieBreaker };
  QByteArray PartBytes(TPart part) const;
  // Puts back from `bytes` only the fields of the part (a name, a round's points, the total)
  // that differ between `from` and `to`: what one edit changed, leaving alone what other
  // edits changed since. Marks the file modified when a field changes.
  void RestoreChangedFields(TPart part, const QByteArray& bytes, const QByteArray& from,
                            const QByteArray& to);

  bool Modified() const { return FModified; }
  void SetModified(bool value) { FModified = value; }
  bool IsOpen() const { return FIsOpen; }
  void SetIsOpen(bool value) { FIsOpen = value; }

 private:
  void SetInt(int offset, int32_t value);

  std::array<char, kRecordSize> FRecord{};
  TTypedFile FFile;
  QString FDirectory;
  bool FModified = false;
  bool FIsOpen = false;
};
