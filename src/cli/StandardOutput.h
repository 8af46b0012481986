#pragma once

#include <QIODevice>
#include <QString>
#include <string>

// Standard output as the commands write to it: written in large blocks, every one of them
// checked, and the first failure kept, so that output cut short by a full disk, a file-size
// limit or a reader that went away is never taken for success. Nothing is written after a
// failure: what reached the output is always a beginning of the result, never one with a hole
// in it.
class TStandardOutput : public QIODevice {
 public:
  static constexpr size_t kBlock = 1 << 16;

  explicit TStandardOutput(int handle);

  // Hands what is left to the system; false when anything written failed.
  bool Finish();
  // Hands what is written so far to the system, for a command whose lines are watched as
  // they come; false when anything written failed.
  bool waitForBytesWritten(int msecs) override;
  bool Failed() const { return !FReason.isEmpty(); }
  // The system's reason for the first failed write.
  const QString& Reason() const { return FReason; }

 protected:
  qint64 readData(char* data, qint64 maxLength) override;
  qint64 writeData(const char* data, qint64 length) override;

 private:
  bool Flush();

  int FHandle;
  std::string FBuffer;
  QString FReason;
};
