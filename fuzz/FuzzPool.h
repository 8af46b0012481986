#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "FFDataModule.h"

// What the fuzz targets share: a pool folder on a memory file system where there is one, so
// that a target reads its input through the real file code thousands of times a second.
namespace FuzzPool {

// The folder, made once per process and emptied before every input.
QString Folder();
// Writes the three files into the folder; a null array leaves that file out.
void Write(const QByteArray& system, const QByteArray& teams, const QByteArray& players);
// Writes a whole pool laid out in one input: the settings record, two bytes giving the length
// of the teams file, the teams file and the player picks file. False for an input too short
// to hold the first two.
bool WriteWhole(const QByteArray& input);
// Opens the pool in the folder as the command-line tool does (read-only) or as the program
// does; null when it is refused, which is a fine answer to a damaged file.
std::unique_ptr<TFFDataModule> Open(TFFDataModule::TOpenMode mode);
// The settings record of a new pool.
QByteArray NewSystemRecord();
// A plain list of `count` teams, all placed on the chart.
QByteArray TeamRecords(int count);

// Whether the region, seed and round reached at `at` are values a chart entry can hold.
bool EntryInRange(const char* at);

// Whether this input also goes through a save and a second read: one input in eight, picked
// by its content so that a run is repeatable. Saving is what makes a target slow.
bool RoundTrip(const QByteArray& input);

QByteArray Bytes(const uint8_t* data, size_t size);

}  // namespace FuzzPool
