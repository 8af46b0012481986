#pragma once

#include <QString>

class TRegistry;

// The folder that holds the pools of an installed program. The program's own folder cannot
// be written, so the first start takes a pools folder of the user's, copies the sample pool
// into it and records the folder as "AppDirectory" and the sample as "DataDirectory". A later
// start whose pools folder has gone missing or cannot be written says so and does the same
// again, rather than opening nothing. Started from the build, the program keeps to the
// current folder and nothing here runs.
class TPoolsFolder {
 public:
  static inline const QString kFolderLost =
      QStringLiteral("The folder that holds your pools, \"%1\", %2.\n\n%3");
  static inline const QString kTakesUserFolder = QStringLiteral(
      "Courtsider 99 keeps your pools in \"%1\" from now on and opens the sample pool there.");
  static inline const QString kMakesItAgain =
      QStringLiteral("Courtsider 99 makes it again and opens a fresh copy of the sample pool.");
  static inline const QString kFolderUnusable =
      QStringLiteral("Courtsider 99 cannot keep your pools in \"%1\": %2");
  static inline const QString kMissing = QStringLiteral("no longer exists");
  static inline const QString kNotWritable = QStringLiteral("cannot be written to");

  // `userFolder` is the pools folder to take; `shippedSample` the sample pool to copy there.
  TPoolsFolder(const QString& userFolder, const QString& shippedSample);
  // The installed program's: the user's application data folder and the install's sample.
  static TPoolsFolder ForInstall();

  // Runs before the main window reads the settings: sets up the first start, or replaces a
  // pools folder that can no longer hold pools, telling the user why.
  void Prepare(TRegistry& registry) const;

  // Why `folder` cannot hold pools ("no longer exists", "cannot be written to ..."); empty
  // when it can.
  static QString Problem(const QString& folder);

  const QString& UserFolder() const { return FUserFolder; }

 private:
  // Makes the user's folder and copies the sample pool into it unless a pool of that name is
  // there already (it may hold the user's own changes). Empty on success, else the reason.
  QString ProvideSample() const;
  // Takes the user's folder with its sample as the pools and the pool to open.
  void TakeUserFolder(TRegistry& registry) const;

  QString FUserFolder;
  QString FShippedSample;
};
