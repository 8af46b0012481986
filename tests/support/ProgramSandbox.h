#pragma once

#include <QDir>
#include <QString>
#include <memory>

#include "FakePrompts.h"
#include "Registry.h"

// A program run kept apart from the user's: its own settings file, a folder of the test's as
// the current one, and the fake prompts answering every question. All is put back as it was
// when the sandbox goes.
class TProgramSandbox {
 public:
  TProgramSandbox(const QString& settingsFile, const QString& currentDirectory,
                  TFakePrompts& prompts)
      : FStartDirectory(QDir::currentPath()) {
    TRegistry::SetStoreFile(settingsFile);
    QDir::setCurrent(currentDirectory);
    prompts.Reset();
    FPromptsScope = std::make_unique<TPromptsScope>(&prompts);
  }
  ~TProgramSandbox() {
    FPromptsScope.reset();
    QDir::setCurrent(FStartDirectory);
    TRegistry::SetStoreFile(QString());
  }
  TProgramSandbox(const TProgramSandbox&) = delete;
  TProgramSandbox& operator=(const TProgramSandbox&) = delete;

 private:
  QString FStartDirectory;
  std::unique_ptr<TPromptsScope> FPromptsScope;
};
