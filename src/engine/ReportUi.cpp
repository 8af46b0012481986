#include "ReportUi.h"

#include <QDir>
#include <QFileInfo>

#include "Prompts.h"

namespace {
class TNoReportUi : public TReportUi {
 public:
  bool Setup(const TReportSystem&, TReportSetup&) override { return false; }
  bool PrintPages(TReportSystem&, int) override { return false; }
  void ShowStatus(const QString&, const QString&) override {}
  void HideStatus() override {}
  void Preview(TReportSystem&, const std::vector<QImage>&) override {}
};
}  // namespace

void TReportUi::RunWithProgress(const QString&, const QString&, const std::function<void()>& work,
                                const std::function<double()>&, const std::function<void()>&) {
  work();
}

TReportUi& TReportUi::Default() {
  static TNoReportUi none;
  return none;
}

void TReportUi::ReportPrinted(const QString& fileName, QWidget* asker) {
  const QString path = QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath());
  TPrompts::Current().MessageFrom(asker, kReportPrinted + QStringLiteral("\n\n") + path,
                                  kMessageTitle, TPrompts::Buttons::Ok, TPrompts::Icon::None);
}
