#include "PoolFileError.h"

#include "Prompts.h"

void ReportFileError(const QString& prefix, const QString& operation) {
  TPrompts::Current().Inform(prefix + operation);
}
