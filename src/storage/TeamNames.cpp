#include "TeamNames.h"

#include <QHash>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

namespace {
struct THashName {
  size_t operator()(const QString& name) const { return qHash(name); }
};

// Nodes of an unordered_set never move, so the addresses handed out stay good.
std::unordered_set<QString, THashName>& Names() {
  static std::unordered_set<QString, THashName> names{QString()};
  return names;
}

std::mutex& NamesLock() {
  static std::mutex lock;
  return lock;
}
}  // namespace

const QString* TTeamNames::Intern(const QString& name) {
  // Pools are read on more than one thread (the live page reads its pool on a thread of its
  // own while the window edits): each thread looks in its own table of the names it has met,
  // so that a load's millions of look-ups take no lock, and only a name new to the thread
  // takes the lock of the shared table.
  thread_local std::unordered_map<QString, const QString*, THashName> met;
  if (const auto found = met.find(name); found != met.end())
    return found->second;
  const QString* kept = nullptr;
  {
    const std::lock_guard<std::mutex> hold(NamesLock());
    kept = &*Names().insert(name).first;
  }
  met.emplace(name, kept);
  return kept;
}

const QString* TTeamNames::Empty() {
  static const QString* const empty = Intern(QString());
  return empty;
}
