#include "OpenPool.h"

#include "BracketList.h"
#include "FFDataModule.h"

TOpenPool::TOpenPool(QObject* parent) : QObject(parent) {}

TOpenPool::~TOpenPool() = default;

void TOpenPool::SetDataModule(std::unique_ptr<TFFDataModule> dataModule) {
  FDataModule = std::move(dataModule);
  emit Replaced();
}

void TOpenPool::RebuildBrackets() {
  FResultsBracket.reset();
  FPicksBracket.reset();
  FResultsBracket = std::make_unique<TBracketList>();
  FPicksBracket = std::make_unique<TBracketList>();
  emit Replaced();
}

void TOpenPool::Release() {
  FResultsBracket.reset();
  FPicksBracket.reset();
  FDataModule.reset();
  emit Replaced();
}
