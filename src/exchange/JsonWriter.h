#pragma once

#include <QIODevice>
#include <QString>
#include <string>

// Streams UTF-8 JSON to a device without building a document in memory first: a pool of any
// size from the tool, a reply of the picks server without an object per value. Commas and
// nesting are tracked here; callers only say what comes.
class TJsonWriter {
 public:
  // Room for a reply of the picks server from the start, rather than grown to it step by step.
  explicit TJsonWriter(QIODevice& out) : FOut(out) { FBuffer.reserve(4096); }
  ~TJsonWriter() { Flush(); }
  TJsonWriter(const TJsonWriter&) = delete;
  TJsonWriter& operator=(const TJsonWriter&) = delete;

  TJsonWriter& BeginObject();
  TJsonWriter& EndObject();
  TJsonWriter& BeginArray();
  TJsonWriter& EndArray();
  TJsonWriter& Key(const char* name);
  TJsonWriter& Value(const QString& text);
  // A string literal would be taken for a bool.
  TJsonWriter& Value(const char* text) = delete;
  TJsonWriter& Value(long long number);
  TJsonWriter& Value(int number) { return Value(static_cast<long long>(number)); }
  TJsonWriter& Value(unsigned long long number);
  // The shortest text that reads back as the same double.
  TJsonWriter& Value(double number);
  TJsonWriter& Value(bool flag);
  TJsonWriter& Null();
  // A line break after the outermost value, and everything handed to the device.
  void Finish();
  void Flush();

 private:
  void BeforeValue();
  // A number in its shortest exact text.
  template <typename TNumber>
  TJsonWriter& Number(TNumber number);
  TJsonWriter& Open(char bracket);
  TJsonWriter& Close(char bracket);
  void AppendUtf8(char32_t code);
  void Raw(const char* text, size_t length);
  void Raw(const char* text);

  QIODevice& FOut;
  std::string FBuffer;
  int FDepth = 0;           // containers open
  bool FNeedComma = false;  // a value was just finished inside the innermost container
  bool FAfterKey = false;
};
