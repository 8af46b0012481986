#include "PoolFileError.h"

#include "Prompts.h"

void ReportFileError(const QString& prefix, const QString& operation, const QString& reason) {
  QString text = prefix + operation;
  if (!reason.isEmpty())
    text += QStringLiteral("\n\n") + reason;
  TPrompts::Current().Inform(text);
}
