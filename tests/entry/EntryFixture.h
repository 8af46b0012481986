#pragma once

// A locked pool of 64 teams in a temporary folder, its document, and the player entry window
// on it, with the prompts, the help and the settings store of the test.

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "BracketList.h"
#include "FFDataModule.h"
#include "FakeHelp.h"
#include "FakePrompts.h"
#include "OpenPool.h"
#include "PicksSheet.h"
#include "PlayerEntryForm.h"
#include "Registry.h"
#include "SheetRows.h"
#include "TestPools.h"

// A point inside the slot's line.
inline QPoint Inside(const TBracketItem* slot) {
  return QPoint(slot->Left() + 5, slot->Top() + 5);
}

class TEntryFixture {
 public:
  // `teams` of the 64 are on the chart, in region order.
  explicit TEntryFixture(int teams = 64) {
    TRegistry::SetStoreFile(Dir.filePath(QStringLiteral("settings.ini")));
    PoolDir = Dir.filePath(QStringLiteral("Test.BGD"));
    QDir().mkpath(PoolDir);
    auto module = TestPools::CreatePool(PoolDir);
    for (int i = 0; i < teams; ++i) {
      const int region = i / 16 + 1;
      const int seed = i % 16 + 1;
      TestPools::AddTeam(module->TeamsFile(), QStringLiteral("R%1S%2").arg(region).arg(seed),
                         region, seed, 1);
    }
    module->SystemFile().SetFinalized(true);
    Pool.SetDataModule(std::move(module));
    Form = std::make_unique<TfrmPlayerEntryForm>(Pool);
    Form->SetModalRunner([this](QDialog&) {
      ++TipsShown;
      return int(QDialog::Accepted);
    });
    // A press on a team runs its drag: the drop comes from the test, by the handler.
    Form->sbxBracket->SetDragRunner([this](std::unique_ptr<QMimeData> data) {
      DragsStarted << TChartView::SlotFromMime(data.get());
    });
  }
  ~TEntryFixture() {
    Form.reset();
    TRegistry::SetStoreFile(QString());
  }

  const TBracketList& Chart() const { return *Pool.PicksBracket(); }
  TBracketItem* Slot(int number) const { return Chart().Slot(number); }
  const TPlayerPicksFile& Players() const { return Pool.DataModule()->PlayerPicksFile(); }

  const TPlayerPicksListObject* Add(const QString& name) {
    Prompts.QueueText(name);
    Form->actPlayerAddExecute();
    return Form->CurrentPlayer();
  }
  // A drag from one slot dropped on another, through the window's handlers.
  void Drop(int from, int to) { DropAt(from, Inside(Slot(to))); }
  void DropAt(int from, const QPoint& point) {
    Form->imgBracketsMouseDown(Qt::LeftButton, false, Inside(Slot(from)));
    Form->imgBracketsDragOver(true);
    Form->imgBracketsDragDrop(point);
  }
  void DoubleClick(int slot) {
    Form->imgBracketsMouseDown(Qt::LeftButton, true, Inside(Slot(slot)));
    Form->imgBracketsDblClick(Inside(Slot(slot)));
  }
  // The shown player's entry named `team`.
  const TPlayerPickArrayObject* Entry(const QString& team) const {
    const TPlayerPicksListObject* player = Form->CurrentPlayer();
    for (int i = 0; player && i < TPlayerPicksListObject::kPickCount; ++i) {
      if (player->Pick(i)->TeamName() == team)
        return player->Pick(i);
    }
    return nullptr;
  }
  QString NameIn(int slot) const {
    const TChartEntry* entry = Slot(slot)->Team();
    return entry ? entry->TeamName() : QString();
  }
  int Occupied() const {
    int count = 0;
    for (int i = 0; i < Chart().Count(); ++i)
      count += Chart().Items(i)->Team() ? 1 : 0;
    return count;
  }
  // Types into the guess field as the organiser would leave it.
  void TypeGuess(const QString& text) {
    Form->edtTotalPoints->setText(text);
    Form->edtTotalPoints->setModified(true);
  }

  // A picks sheet for the pool in the folder of the test: the header, then `rows` (filled up
  // with empty cells). Returns its path.
  QString Sheet(const QString& name, const QList<QStringList>& rows) const {
    const QString path = Dir.filePath(name);
    TestPools::WriteBytes(path, TestPools::SheetWithRows(*Pool.DataModule(), rows));
    return path;
  }

  QTemporaryDir Dir;
  QString PoolDir;
  TFakePrompts Prompts;
  TPromptsScope PromptsScope{&Prompts};
  TFakeHelp Help;
  THelp::TScope HelpScope{&Help};
  TOpenPool Pool;
  std::unique_ptr<TfrmPlayerEntryForm> Form;
  int TipsShown = 0;
  QList<int> DragsStarted;
};

// Slots of a path by chart round 1..7, for the team on first-round slot `first`.
inline int PathSlot(const TBracketList& chart, int first, int round) {
  const TBracketItem* line = chart.Slot(first);
  return chart.SlotNumber(chart.SlotOnPath(line->Region(), line->Seed(), round));
}
