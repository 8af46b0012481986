#include "Text.h"

QString TrimBlanksAndControls(const QString& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && text.at(begin).unicode() <= ' ')
    ++begin;
  while (end > begin && text.at(end - 1).unicode() <= ' ')
    --end;
  return (begin == 0 && end == text.size()) ? text : text.mid(begin, end - begin);
}

QString AsSentence(const QString& text) {
  if (text.isEmpty())
    return text;
  return text.at(0).toUpper() + text.mid(1);
}
