#pragma once

#include <QString>
#include <stdexcept>

// A failed file primitive: open, create, read, write, seek, size or close. Carries the
// operating system's reason, as the file device reported it.
class EInOutError : public std::runtime_error {
 public:
  EInOutError(int code, const QString& reason)
      : std::runtime_error(reason.toStdString()), FCode(code), FReason(reason) {}
  int Code() const { return FCode; }
  const QString& Reason() const { return FReason; }

 private:
  int FCode;
  QString FReason;
};
