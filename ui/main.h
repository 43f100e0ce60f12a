// TFormKalynth: the main window of KALYNTH and the divination it holds.
//
// The divination lives in the window's controls (line fields Edit1..Edit6,
// note Edit7, the four date lists, the three figures GuaBig1..GuaBig3 with
// their number labels, the date status strip, the comments box) and in a
// few members (Modified, HasFileName, CurrentFileName, MilfoilActive ...).
// The rules themselves (line codes, King Wen numbers, the stalk divisions,
// the date arithmetic, the lunar date, the record file) live in core/,
// calendar/ and records/; the handlers below only move values between those
// rules and the controls. Prompts, dialogs, the clock and page opening go
// through ui::platform() so that tests can drive every path.
//
// Public API for the program's start-up (ui/shell/) and the other windows:
//   TFormKalynth(arguments, parent)
//       arguments = the command-line arguments AFTER the program name
//       (QCoreApplication::arguments().mid(1)). Creation reads the settings
//       store, fills the status bar and the date lists, and as its last step
//       opens arguments[0] with OpenMyDropOrClickFile when its extension is
//       exactly ".KLY", ".kly" or ".Kly"; any other argument is ignored
//       without a message. Errors during creation are shown (ui::ReportError)
//       and do not stop the creation. The window is not shown.
//   void OpenMyDropOrClickFile(const QString& path)
//       open a given path (dropped file, command line, hand-off), with the
//       abort and save prompts when due; errors propagate (shown by
//       KalynthApplication::notify when run from an event).
//   void TakeHandOff()
//       the hand-off part of the activation handler: reads "ParamStr" /
//       "ParamStr" into HandOffPath, empties the stored value, then opens a
//       non-empty path with OpenMyDropOrClickFile. Call it for an activation
//       that is not a mouse click while the window is not minimised.
//   QString HandOffPath          the hand-off value as last read
//   void StatusBarIni()          rebuild the status text (settings dialog OK)
//   void SetLunarDate(TDateTime) fill the four date lists (calendar window)
//   bool HintsShown() / SetHintsShown(bool)   hints of the whole program
//   int  TimeCorrectionIndex, TimeZoneIndex    time settings (settings dialog)
//   QAction* Chza1, VenVan, Table1, DiagUsin, StvilyVetvi   the checkable
//       window items of "Прочее"; the auxiliary windows tick them while shown
//   bool HasRecordExtension(path)  the extension test of a given path
//
// Sizes are client sizes: the window is always 479 pixels wide and at least
// 331 high; 331 is the collapsed height, anything above it opens the
// comments box.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include "astro/constants.h"
#include "records/record.h"

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QToolBar;
class QToolButton;
class QUrl;
class TGuaBig;
class TClickLabel;

// The extension of the file name part of path, from its last point, is
// exactly ".KLY", ".kly" or ".Kly".
bool HasRecordExtension(const QString& path);

class TFormKalynth : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int FormWidth = 479;
  static constexpr int CollapsedHeight = 331;
  static constexpr int MinExpandedHeight = 400;
  static inline const QString WebSiteUrl = QStringLiteral("https://ru.wikisource.org/wiki/Книга_перемен");

  explicit TFormKalynth(const QStringList& arguments = {}, QWidget* parent = nullptr);
  ~TFormKalynth() override;

  // --- module state -------------------------------------------------------
  bool Modified = false;
  bool HasFileName = false;
  QString CurrentFileName;
  bool MilfoilActive = false;
  int MilfoilLine = 0;
  int StalkCount = 0;
  int UpperTrigram = 0;
  int LowerTrigram = 0;
  int ChangingLine = 0;
  QString ProgramFolder;
  int ExpandedHeight = MinExpandedHeight;
  int UntitledCounter = 1;
  int TimeCorrectionIndex = 3;
  int TimeZoneIndex = 15;
  QString HandOffPath;
  QString OpenDialogFileName;  // name the open dialog shows next

  // --- controls (object names equal the member names) ---------------------
  QMenu* FileMenu = nullptr;   // "Файл"
  QMenu* OtherMenu = nullptr;  // "Прочее"
  QMenu* HelpMenu = nullptr;   // "Справка"
  QAction *New1 = nullptr, *Open1 = nullptr, *Save1 = nullptr, *Saveas1 = nullptr, *Exit1 = nullptr;
  QAction *Chza1 = nullptr, *VenVan = nullptr, *Table1 = nullptr, *DiagUsin = nullptr, *StvilyVetvi = nullptr;
  QAction *N6 = nullptr, *N8 = nullptr, *N3 = nullptr;

  QToolBar *ToolBar1 = nullptr, *ToolBar2 = nullptr;
  QToolButton *ClearBtn = nullptr, *ToolButton8 = nullptr, *ToolButton9 = nullptr;
  QToolButton *ToolButton1 = nullptr, *ToolButton4 = nullptr, *ToolButton5 = nullptr, *ToolButton6 = nullptr;
  QToolButton *ToolButton10 = nullptr, *ToolButton2 = nullptr;
  TClickLabel* Panel9 = nullptr;
  QComboBox *GodCombo = nullptr, *Mes = nullptr, *Day = nullptr, *Chas = nullptr;
  QLabel* Label6 = nullptr;  // "Месяц:" / "Мес/д:"

  QLabel *Jao1 = nullptr, *Jao2 = nullptr, *Jao3 = nullptr, *Jao4 = nullptr, *Jao5 = nullptr, *Jao6 = nullptr;
  QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr, *Edit4 = nullptr, *Edit5 = nullptr,
            *Edit6 = nullptr;
  QPushButton* Button1 = nullptr;

  QFrame* Panel1 = nullptr;  // the cream display panel
  TGuaBig *GuaBig1 = nullptr, *GuaBig2 = nullptr, *GuaBig3 = nullptr;
  TClickLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr;
  QWidget *Separator1 = nullptr, *Separator2 = nullptr;  // red dotted lines between the figures
  QFrame* PanelStatus = nullptr;
  QLabel* LabelStatus = nullptr;
  QLineEdit* Edit7 = nullptr;
  QPlainTextEdit* CommentsMemo = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QLabel* StatusPanel = nullptr;  // the status bar's one panel

  // Line field n = 1 (bottom) .. 6 (top).
  QLineEdit* LineEdit(int n) const;

  // --- frame (main window, settings) --------------------------------------
  void StatusBarIni();
  void ToolButton10Click();
  void Panel9Click();
  void N8Click();
  void N3Click();
  void N6Click();
  void Chza1Click();
  void VenVanClick();
  void Table1Click();
  void DiagUsinClick();
  void StvilyVetviClick();
  bool HintsShown() const { return hintsShown_; }
  void SetHintsShown(bool shown) { hintsShown_ = shown; }

  // --- number entry -------------------------------------------------------
  void Edit1Change();
  void Edit2Change();
  void Edit3Change();
  void Edit4Change();
  void Edit5Change();
  void Edit6Change();
  void ZapolnenieGua(QLineEdit* field);
  void Button1Click();
  void GoButton();
  void GuaDraw2();

  // --- yarrow stalks ------------------------------------------------------
  void ToolButton1Click();
  void BeginMilfoil();
  void ToolButton4Click();
  void ToolButton5Click();
  void ToolButton6Click();
  void AllFree();

  // --- date casting -------------------------------------------------------
  void GodComboChange();
  void ToolButton2Click();
  void Raschet();
  void Chisla2(TGuaBig* figure, int upperTrigram, int lowerTrigram, int changingLine);
  void ZapolnenieLabelStatus(bool show);
  void SetLunarDate(astro::TDateTime t);

  // --- commentary ---------------------------------------------------------
  void Label1Click();
  void Label2Click();
  void Label3Click();
  void OpenGuaWindows(QLabel* label);
  // Hands a page or address to the desktop; when nothing opens it, an error
  // box names the page's path or the address.
  void OpenPage(const QUrl& url);

  // --- record lifecycle ---------------------------------------------------
  bool FileChangeIfClear() const;
  void ClearBtnClick();
  void NewClick();
  void Open1Click();
  void OpenMyFile();
  void Save1Click();
  void Saveas1Click();
  bool FormCloseQuery();
  void OpenMyDropOrClickFile(const QString& path);
  void OpenMyDropOrClickFileRaschet(const QString& path);
  void TakeHandOff();

  // The record the controls hold now (what Save writes).
  records::Record CurrentRecord() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void FormCreate(const QStringList& arguments);
  void FormResize();
  void FormClose();
  void LayoutClient();
  void EditChange(QLineEdit* field);

  QString SavePromptText() const;
  // The save prompt: true when the command may go on (No, or Yes with a
  // save that left the record clean).
  bool AskToSave();
  // Writes the record to path after the code-page warning; false when the
  // user went back. Throws records::RecordError when the file cannot be made.
  bool WriteRecord(const QString& path);
  // The read procedure: fields, caller's binding, lists, figures, caller's
  // reset, comments, flags.
  void ReadRecord(const records::Record& record, const QString& path, bool fromOpenDialog);
  void OpenCalc(const records::Record& record);
  void ResetAfterRead();
  void ShowNotARecord(const QString& path);
  void SetTitleFor(const QString& path);

  bool hintsShown_ = true;
  int lastHeight_ = CollapsedHeight;
  bool created_ = false;
  const QObject* enterPressedIn_ = nullptr;  // line field or ">>" that got the Enter press
};
