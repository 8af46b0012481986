#pragma once

// Picks sheets written for a test, for the tests that link the exchange library.

#include <QByteArray>
#include <QList>
#include <QStringList>

#include "Csv.h"
#include "PicksSheet.h"

namespace TestPools {

// A picks sheet for `pool`: its header, then `rows`, each filled up with empty cells.
inline QByteArray SheetWithRows(const TFFDataModule& pool, const QList<QStringList>& rows) {
  Csv::TWriter writer;
  writer.Row(TPicksSheet(pool).Header());
  for (QStringList row : rows) {
    while (row.size() < TPicksSheet::kColumnCount)
      row << QString();
    writer.Row(row);
  }
  return writer.Bytes();
}

}  // namespace TestPools
