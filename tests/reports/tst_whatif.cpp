// What if, from the Print Report window: the dialog's choices, and the report it prints.
#include <QJsonArray>
#include <QJsonObject>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "CliRunner.h"
#include "FFDataModule.h"
#include "FakePrompts.h"
#include "FakeReportUi.h"
#include "OpenPool.h"
#include "Outlook.h"
#include "PoolReports.h"
#include "PrintReportForm.h"
#include "RecordingReport.h"
#include "SamplePool.h"
#include "TestPools.h"
#include "WhatIfDialog.h"

namespace {
// Each row of the dialog as "Rd 3|A|B|winner", the winner "open" while there is none.
QStringList Rows(const TdlgWhatIf& dialog) {
  QStringList rows;
  const QTableWidget& table = *dialog.tblGames;
  for (int row = 0; row < table.rowCount(); ++row) {
    QString winner = QStringLiteral("open");
    for (int column = 1; column <= 2; ++column) {
      if (table.item(row, column)->checkState() == Qt::Checked)
        winner = table.item(row, column)->text();
    }
    rows << QStringLiteral("%1|%2|%3|%4")
                .arg(table.item(row, 0)->text(), table.item(row, 1)->text(),
                     table.item(row, 2)->text(), winner);
  }
  return rows;
}

void ClickCell(QTableWidget& table, int row, int column) {
  table.scrollToItem(table.item(row, column));
  const QRect cell = table.visualItemRect(table.item(row, column));
  QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, cell.center());
}
}  // namespace

class TestWhatIf : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void dialogChoosesWinnersRoundAfterRound();
  void whatIfReportIsTheToolsOutlook();

 private:
  void MakePool(int players, int playedRounds, int32_t actualTotal);

  std::unique_ptr<QTemporaryDir> FDir;
  std::unique_ptr<TOpenPool> FPool;
  // The pool the document holds, for the test to save as the organiser would.
  TFFDataModule* FModule = nullptr;
  TFakePrompts FPrompts;
  TFakeReportUi FUi;
};

void TestWhatIf::init() {
  FDir = std::make_unique<QTemporaryDir>();
  FPool = std::make_unique<TOpenPool>();
  FPrompts.Reset();
  FUi = TFakeReportUi();
  TPrompts::Install(&FPrompts);
  TReportUi::Install(&FUi);
}

void TestWhatIf::cleanup() {
  FPool.reset();
  TPrompts::Install(nullptr);
  TReportUi::Install(nullptr);
}

void TestWhatIf::MakePool(int players, int playedRounds, int32_t actualTotal) {
  auto module = TestPools::CreatePool(FDir->path());
  FModule = module.get();
  SamplePool::Fill(*module, players, playedRounds, actualTotal);
  module->SystemFile().SetFinalized(true);
  FPool->SetDataModule(std::move(module));
}

// A winner for a game brings the game it feeds once the other side is known too; changing or
// opening a game drops the choices further on that hung on it, and the winners come in the
// order the games are played, whatever order they were chosen in.
void TestWhatIf::dialogChoosesWinnersRoundAfterRound() {
  MakePool(8, 2, 0);
  TdlgWhatIf dialog(TOutlookInput::FromPool(*FPool->DataModule()));
  QStringList rows = Rows(dialog);
  QCOMPARE(rows.size(), 8);
  QVERIFY(rows.front().startsWith("Rd 3|"));
  QVERIFY(!dialog.btnOk->isEnabled());
  const QTableWidget& table = *dialog.tblGames;
  const QString a = table.item(0, 1)->text();
  const QString b = table.item(0, 2)->text();
  const QString c = table.item(1, 2)->text();
  dialog.tblGamesCellClicked(1, 2);
  QCOMPARE(Rows(dialog).size(), 8);
  dialog.tblGamesCellClicked(0, 1);
  rows = Rows(dialog);
  QCOMPARE(rows.size(), 9);
  QCOMPARE(rows.at(8), QStringLiteral("Rd 4|%1|%2|open").arg(a, c));
  dialog.tblGamesCellClicked(8, 1);
  dialog.tblGamesCellClicked(8, 1);
  QCOMPARE(dialog.Winners(), QStringList({a, c, a}));
  QVERIFY(dialog.btnOk->isEnabled());
  // The other team of the first game: the next round's game, its winner gone, is open again.
  dialog.tblGamesCellClicked(0, 2);
  QCOMPARE(Rows(dialog).at(8), QStringLiteral("Rd 4|%1|%2|open").arg(b, c));
  QCOMPARE(dialog.Winners(), QStringList({b, c}));
  dialog.tblGamesCellClicked(1, TdlgWhatIf::kOpenColumn);
  QCOMPARE(Rows(dialog).size(), 8);
  QCOMPARE(dialog.Winners(), QStringList({b}));
  dialog.btnClearClick();
  QVERIFY(dialog.Winners().isEmpty());
  QVERIFY(!dialog.btnOk->isEnabled());
  QVERIFY(Rows(dialog).at(0).endsWith("|open"));
}

// Through real clicks: the window's What If button, two rounds chosen in the dialog, OK. The
// report then printed is the tool's outlook with the same winners, its heading saying them;
// the next Print is of the pool's own results again.
void TestWhatIf::whatIfReportIsTheToolsOutlook() {
  MakePool(10, 2, 0);
  TfrmPrintReport form(*FPool);
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  QVERIFY(!form.btnWhatIf->isEnabled());
  const QListWidget& list = *form.lstReportNames;
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                    list.visualItemRect(list.item(TPoolReports::kWhoCanStillWin)).center());
  QVERIFY(form.btnWhatIf->isEnabled());
  QStringList chosen;
  form.SetModalRunner([&chosen](QDialog& shown) {
    auto& dialog = static_cast<TdlgWhatIf&>(shown);
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
      return int(QDialog::Rejected);
    QTableWidget& table = *dialog.tblGames;
    ClickCell(table, 0, 2);
    ClickCell(table, 1, 1);
    ClickCell(table, table.rowCount() - 1, 1);
    chosen = dialog.Winners();
    QTest::mouseClick(dialog.btnOk, Qt::LeftButton);
    return dialog.result();
  });
  QTest::mouseClick(form.btnWhatIf, Qt::LeftButton);
  QCOMPARE(chosen.size(), 3);
  QCOMPARE(FUi.PreviewCount(), 1);

  TRecordingReport writer;
  form.Reports().ReportSystem(TPoolReports::kWhoCanStillWin).Generate(writer);
  const QStringList lines = writer.Text().split('\n');
  FModule->SavePool();
  const TCliRun run =
      RunTool({"outlook", FDir->path(), "--assume", chosen.join(','), "--format", "json"});
  QCOMPARE(run.Status, 0);
  const QJsonObject tool = run.Json().object();
  QStringList assumed;
  for (const QJsonValue& game : tool["assumed"].toArray())
    assumed << game.toString();
  QVERIFY(lines.contains(QStringLiteral("What if: %1").arg(assumed.join("; "))));
  const QJsonArray players = tool["players"].toArray();
  QCOMPARE(players.size(), 10);
  for (qsizetype row = 0; row < players.size(); ++row) {
    const QJsonObject player = players.at(row).toObject();
    const QString start = QStringLiteral("%1|%2|%3|%4|%5|%6|")
                              .arg(row + 1)
                              .arg(player["player"].toString())
                              .arg(player["current"].toInt())
                              .arg(player["max"].toInt())
                              .arg(player["best_place"].toInt())
                              .arg(player["worst_place"].toInt());
    const QString chance = FormatChance(player["win_chance"].toDouble());
    QVERIFY2(std::any_of(lines.begin(), lines.end(),
                         [&](const QString& line) {
                           return line.startsWith(start) && line.contains(chance);
                         }),
             qPrintable(start + chance));
  }

  QTest::mouseClick(form.btnPrint, Qt::LeftButton);
  TRecordingReport again;
  form.Reports().ReportSystem(TPoolReports::kWhoCanStillWin).Generate(again);
  QVERIFY(!again.Text().contains("What if:"));
}

QTEST_MAIN(TestWhatIf)
#include "tst_whatif.moc"
