#pragma once

// A locked pool of 64 teams named "R<region>S<seed>" with one player, "Already Here", saved in
// a folder of the test and open in a document, and the entries the page would send for it.

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "Csv.h"
#include "FFDataModule.h"
#include "FakePrompts.h"
#include "OpenPool.h"
#include "PicksSheet.h"
#include "TestPools.h"

struct TServerFixture {
  TServerFixture() {
    PoolDir = Dir.filePath(QStringLiteral("Office.BGD"));
    QDir().mkpath(PoolDir);
    auto pool = TestPools::CreatePool(PoolDir);
    pool->SystemFile().SetPoolName(QStringLiteral("Office <Pool> & \"Friends\""));
    pool->SystemFile().SetFinalized(true);
    TestPools::AddFullField(pool->TeamsFile());
    TestPools::AddPlayer(*pool, QStringLiteral("Already Here"), 120);
    if (!pool->SavePool())
      qFatal("the test pool could not be saved");
    Pool.SetDataModule(std::move(pool));
  }

  // The winners of the template's example row: the better seed wins every game.
  QStringList Winners() const {
    const Csv::TTable table = Csv::Read(TPicksSheet(*Pool.DataModule()).Template());
    return table.Rows.at(1).mid(TPicksSheet::kFirstGameColumn);
  }

  static QByteArray Entry(const QString& name, const QString& guess, const QStringList& winners,
                          const QString& link = {}) {
    QJsonObject entry{{QStringLiteral("name"), name},
                      {QStringLiteral("guess"), guess},
                      {QStringLiteral("winners"), QJsonArray::fromStringList(winners)}};
    if (!link.isEmpty())
      entry.insert(QStringLiteral("link"), link);
    return QJsonDocument(entry).toJson(QJsonDocument::Compact);
  }

  QByteArray PlayerFile() const {
    return TestPools::ReadBytes(QDir(PoolDir).filePath(QStringLiteral("PlayPick.dat")));
  }

  int PlayerCount() const { return Pool.DataModule()->PlayerPicksFile().Count(); }

  static QJsonObject Json(const QByteArray& body) { return QJsonDocument::fromJson(body).object(); }

  QTemporaryDir Dir;
  QString PoolDir;
  TFakePrompts Prompts;
  TPromptsScope PromptsScope{&Prompts};
  TOpenPool Pool;
};
