#include "FakePrompts.h"

#include <QRegularExpression>
#include <QTest>

namespace {
void FailOnArgWarnings() {
  QTest::failOnWarning(QRegularExpression(QStringLiteral("^QString::arg: ")));
}
}  // namespace

TFakePrompts::TFakePrompts() {
  FailOnArgWarnings();
}

TPrompts::Answer TFakePrompts::Message(const QString& text, const QString& title, Buttons buttons,
                                       Icon icon) {
  FShown.append({text, title, buttons, icon, DefaultAnswer(), Asker(), QString()});
  if (buttons == Buttons::Ok)
    return Answer::Ok;
  if (!FAnswers.isEmpty())
    return FAnswers.dequeue();
  return buttons == Buttons::OkCancel ? Answer::Cancel : Answer::No;
}

bool TFakePrompts::AskText(const QString& title, const QString& prompt, QString* text,
                           int maxLength) {
  FShown.append({prompt, title, Buttons::Ok, Icon::None, Answer::Ok, Asker(), *text});
  FLastMaxLength = maxLength;
  if (FTexts.isEmpty())
    return false;
  const QString answer = FTexts.dequeue();
  if (answer.isNull())
    return false;
  *text = maxLength > 0 ? answer.left(maxLength) : answer;
  return true;
}

bool TFakePrompts::AskFileName(FileDialog, const QString& title, const QString&, QString* path) {
  FShown.append({*path, title, Buttons::OkCancel, Icon::None, Answer::Ok, Asker(), QString()});
  if (FFileNames.isEmpty())
    return false;
  const QString answer = FFileNames.dequeue();
  if (answer.isNull())
    return false;
  *path = answer;
  return true;
}

QStringList TFakePrompts::Texts() const {
  QStringList texts;
  for (const TShown& shown : FShown)
    texts << shown.Text;
  return texts;
}

void TFakePrompts::Reset() {
  FailOnArgWarnings();
  FShown.clear();
  FAnswers.clear();
  FTexts.clear();
  FFileNames.clear();
}
