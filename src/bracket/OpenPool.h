#pragma once

#include <QObject>
#include <memory>

class TFFDataModule;
class TBracketList;

// The open pool in one place: the data module and both bracket models. The main window owns
// it and replaces what it holds when another pool is opened or created; every other window
// reads the pool through it each time it needs it and never keeps the pointers, and listens
// to Replaced() to drop whatever it shows of the old pool.
class TOpenPool : public QObject {
  Q_OBJECT

 public:
  explicit TOpenPool(QObject* parent = nullptr);
  ~TOpenPool() override;

  // The data module; null only before the main window made the first one.
  TFFDataModule* DataModule() const { return FDataModule.get(); }
  // The results and picks charts; null until a pool has been opened or created.
  TBracketList* ResultsBracket() const { return FResultsBracket.get(); }
  TBracketList* PicksBracket() const { return FPicksBracket.get(); }

  // Takes a new data module in place of the old one, which the caller closed first.
  void SetDataModule(std::unique_ptr<TFFDataModule> dataModule);
  // Frees both charts and makes them anew, empty.
  void RebuildBrackets();
  // Frees both charts and the data module (the caller closed the pool first).
  void Release();

 signals:
  void Replaced();

 private:
  std::unique_ptr<TFFDataModule> FDataModule;
  std::unique_ptr<TBracketList> FResultsBracket;
  std::unique_ptr<TBracketList> FPicksBracket;
};
