#pragma once

#include <QString>

// Where the program finds the files it ships with: the help pages "Courtsider.hlp" and the
// sample pool "Sample.BGD". Run from the build, they lie beside the program. Installed, they
// lie in the install's shared data folder (share/courtsider), which is found relative to the
// program, so an install moved to another prefix works as well as one left where it was put.
namespace InstallLayout {

inline const QString kSamplePool = QStringLiteral("Sample.BGD");

// True when the program runs from an install: the shared data folder is there beside it.
bool Installed();
// The folder that holds the help pages and the sample pool.
QString DataFolder();
// The sample pool as the program ships it. Installed, it is read-only: a user's copy of it
// lives in the user's pools folder.
QString ShippedSamplePool();

}  // namespace InstallLayout
