#include "LimitedChild.h"

#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

namespace LimitedChild {

TResult Run(qint64 fileSizeLimit, const std::function<int(QByteArray& report)>& body,
            bool unprivileged) {
  int channel[2];
  if (::pipe(channel) != 0)
    return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    std::signal(SIGXFSZ, SIG_IGN);
    constexpr uid_t kNobody = 65534;
    if (unprivileged && ::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
      ::_exit(125);
    }
    if (fileSizeLimit >= 0) {
      rlimit limit{};
      limit.rlim_cur = static_cast<rlim_t>(fileSizeLimit);
      limit.rlim_max = static_cast<rlim_t>(fileSizeLimit);
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
        ::_exit(125);
    }
    QByteArray report;
    const int status = body(report);
    for (qint64 at = 0; at < report.size();) {
      const ssize_t sent =
          ::write(channel[1], report.constData() + at, static_cast<size_t>(report.size() - at));
      if (sent <= 0)
        break;
      at += sent;
    }
    ::close(channel[1]);
    // No exit handlers: the child shares the parent's objects and must not tear them down.
    ::_exit(status);
  }
  ::close(channel[1]);
  TResult result;
  char block[4096];
  for (;;) {
    const ssize_t got = ::read(channel[0], block, sizeof block);
    if (got <= 0)
      break;
    result.Written.append(block, static_cast<int>(got));
  }
  ::close(channel[0]);
  int status = 0;
  if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status))
    result.Status = WEXITSTATUS(status);
  return result;
}

}  // namespace LimitedChild

TSaveInterruption::TSaveInterruption(int at, bool kill) {
  TPoolSave::SetStepHook([this, at, kill](const QString& step) {
    const int index = static_cast<int>(FSteps.size());
    FSteps << step;
    if (index != at)
      return;
    FFired = true;
    if (kill)
      ::_exit(0);
    throw EInOutError(0, QStringLiteral("interrupted before ") + step);
  });
}

TSaveInterruption::~TSaveInterruption() {
  TPoolSave::SetStepHook(nullptr);
}
