#pragma once

#include <QList>
#include <QMargins>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

class TLastPlacement;

// Keeps chosen properties of a window, or of the controls it owns, as string values in the
// registry: window sizes and positions, and the tips dialogs' "don't show again" tick.
//
// Each item reads "component;property;default;key;value name;unused;read only", for example
// "MainForm;Width;491;Tarnwell\Courtsider\Form State\MainForm;Width;1;0". The component is a
// control of the window found by its object name, or the window itself when the name is the
// window's own. Property names are those the settings have always been stored under: "Left",
// "Top", "Width" and "Height" are parts of Qt's pos and size, and any other name is taken as
// it is or with its first letter lower-cased ("Checked" is a check box's checked).
class TIniOut {
 public:
  enum class TRegistryRoot {
    ClassesRoot,
    CurrentUser,
    LocalMachine,
    Users,
    PerformanceData,
    CurrentConfig,
    DynData
  };

  // The items of the program's windows.
  static inline const QStringList kMainFormItems = {
      QStringLiteral("MainForm;Width;491;Tarnwell\\Courtsider\\Form State\\MainForm;Width;1;0"),
      QStringLiteral("MainForm;Height;434;Tarnwell\\Courtsider\\Form State\\MainForm;Height;1;0"),
      QStringLiteral("MainForm;Top;55;Tarnwell\\Courtsider\\Form State\\MainForm;Top;1;0"),
      QStringLiteral("MainForm;Left;173;Tarnwell\\Courtsider\\Form State\\MainForm;Left;1;0"),
  };
  static inline const QStringList kBracketBuildItems = {
      QStringLiteral(
          "frmBracketBuild;Height;475;Tarnwell\\Courtsider\\Form State\\BracketBuild;Height;1;0"),
      QStringLiteral(
          "frmBracketBuild;Width;740;Tarnwell\\Courtsider\\Form State\\BracketBuild;Width;1;0"),
      QStringLiteral(
          "frmBracketBuild;Left;23;Tarnwell\\Courtsider\\Form State\\BracketBuild;Left;1;0"),
      QStringLiteral(
          "frmBracketBuild;Top;53;Tarnwell\\Courtsider\\Form State\\BracketBuild;Top;1;0"),
      // The chart's zoom in percent, 0 for zoom to fit.
      QStringLiteral("sbxBracket;Zoom;100;Tarnwell\\Courtsider\\Form State\\BracketBuild;Zoom;1;0"),
  };
  static inline const QStringList kPlayerEntryItems = {
      QStringLiteral(
          "frmPlayerEntryForm;Height;478;Tarnwell\\Courtsider\\Form State\\PlayerEntry;Height;1;0"),
      QStringLiteral(
          "frmPlayerEntryForm;Width;662;Tarnwell\\Courtsider\\Form State\\PlayerEntry;Width;1;0"),
      QStringLiteral(
          "frmPlayerEntryForm;Top;53;Tarnwell\\Courtsider\\Form State\\PlayerEntry;Top;1;0"),
      QStringLiteral(
          "frmPlayerEntryForm;Left;82;Tarnwell\\Courtsider\\Form State\\PlayerEntry;Left;1;0"),
      QStringLiteral("sbxBracket;Zoom;100;Tarnwell\\Courtsider\\Form State\\PlayerEntry;Zoom;1;0"),
  };
  static inline const QStringList kReportPreviewItems = {
      QStringLiteral(
          "frmReportPreview;Width;900;Tarnwell\\Courtsider\\Form State\\ReportPreview;Width;1;0"),
      QStringLiteral(
          "frmReportPreview;Height;700;Tarnwell\\Courtsider\\Form State\\ReportPreview;Height;1;0"),
      QStringLiteral(
          "frmReportPreview;Left;40;Tarnwell\\Courtsider\\Form State\\ReportPreview;Left;1;0"),
      QStringLiteral(
          "frmReportPreview;Top;20;Tarnwell\\Courtsider\\Form State\\ReportPreview;Top;1;0"),
  };
  static inline const QStringList kSplashHelp1Items = {
      QStringLiteral("chkDontShow;Checked;False;"
                     "Tarnwell\\Courtsider\\Form State\\SplashHelp1;dontShowHelp;1;0"),
  };
  static inline const QStringList kSplashHelp2Items = {
      QStringLiteral("chkDontShow;Checked;False;"
                     "Tarnwell\\Courtsider\\Form State\\SplashHelp2;dontShowHelp;1;0"),
  };

  // `window` is not owned; the store does nothing once it is gone.
  explicit TIniOut(QWidget* window);
  ~TIniOut();
  TIniOut(const TIniOut&) = delete;
  TIniOut& operator=(const TIniOut&) = delete;

  const QStringList& Items() const { return FItems; }
  void SetItems(const QStringList& items) { FItems = items; }

  // Only the current user's part of the registry is reachable: under any other root, restoring
  // applies the defaults and storing writes nothing.
  TRegistryRoot RegistryRoot() const { return FRegistryRoot; }
  void SetRegistryRoot(TRegistryRoot root) { FRegistryRoot = root; }

  // Kept for the windows' own use only; the store always works on the registry. Setting it
  // forces the extension ".INI" and upper-cases the whole name.
  const QString& FileName() const { return FFileName; }
  void SetFileName(const QString& name);

  // Sets every item's property from the registry, or from the item's default when the
  // registry has no value. An item that cannot be applied is skipped without a message.
  // A window whose position or size was restored is then kept on screen (FitOnScreens).
  void RestoreWindowState();
  // Writes every item's property, except items marked read only; failures are skipped. A
  // window put away before it is destroyed (closed, or hidden as the program ends) is stored
  // as it was when it was last shown: hiding a maximised window gives it back its normal size.
  void StoreWindowState();

  // The screens' available areas the window is kept on; by default those of the screens
  // attached now. Tests give their own.
  void SetAvailableScreens(const QList<QRect>& areas) { FScreens = areas; }
  QList<QRect> AvailableScreens() const;

  // Where a window stored at `window` belongs on `screens` (available areas): on the screen
  // it overlaps most, or the nearest when it overlaps none, shrunk to that screen when larger,
  // and moved inside it when less than half of it, or its top edge, is on any screen. A
  // window well on screen is left where the user put it. `window` is placed as Qt places a
  // window: its frame's top-left corner and its client area's size; `frame` is what the
  // window manager adds around the client area (title bar, borders), and it is the whole
  // frame that is kept on screen.
  static QRect FitOnScreens(const QRect& window, const QList<QRect>& screens,
                            const QMargins& frame = QMargins());

 private:
  // Fits the window with the frame it has; before it is shown that frame is not known yet,
  // and the window is fitted again once it first shows on screen.
  void KeepOnScreen();

  QPointer<QWidget> FWindow;
  // Where the window stood when it was last put away.
  QPointer<TLastPlacement> FLastPlacement;
  QList<QRect> FScreens;
  QStringList FItems;
  TRegistryRoot FRegistryRoot = TRegistryRoot::CurrentUser;
  QString FFileName;
};
