#include "TeamNames.h"

#include <QHash>
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
}  // namespace

const QString* TTeamNames::Intern(const QString& name) {
  return &*Names().insert(name).first;
}

const QString* TTeamNames::Empty() {
  static const QString* const empty = Intern(QString());
  return empty;
}
