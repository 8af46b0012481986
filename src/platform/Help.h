#pragma once

#include <QList>
#include <QString>

// The help file and its context numbers. The program installs a help window over the pages
// shipped beside it; tests install a fake that only records which topics were asked for.
class THelp {
 public:
  static inline const QString kHelpFile = QStringLiteral("Courtsider.hlp");

  virtual ~THelp() = default;
  // Opens the help at the topic of `context`, or at its contents for an unknown number.
  virtual void ShowContext(int context) = 0;

  static THelp& Current();
  // Installs `help` (not owned) and returns the previous one; nullptr restores the default,
  // which ignores every request.
  static THelp* Install(THelp* help);
};

class TFakeHelp : public THelp {
 public:
  void ShowContext(int context) override { FContexts.append(context); }
  const QList<int>& Contexts() const { return FContexts; }

 private:
  QList<int> FContexts;
};
