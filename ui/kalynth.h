// TFormKalynth: the main window of KALYNTH.
//
// The divination itself is a core::Divination (core/divination.h): line
// codes, note, comments, the date lists' selection, the three figures with
// their numbers, the date status strip, the yarrow procedure and the record
// flags. Every handler reads its controls, calls one operation of the model
// and draws the model into the controls (Draw); nothing here decides a rule
// of a casting. The record lifecycle (prompts, dialogs, file binding, title)
// and the frame stay in the window. Prompts, dialogs, the clock and page
// opening go through ui::platform() so that tests can drive every path.
//
// Public API for the program's start-up (ui/shell/) and the other windows:
//   TFormKalynth(arguments, parent)
//       arguments = the command-line arguments AFTER the program name
//       (QCoreApplication::arguments().mid(1)). Creation reads the settings
//       store, fills the status bar and the date lists, and as its last step
//       opens arguments[0] with OpenMyDropOrClickFile when its extension is
//       exactly ".KLY", ".kly" or ".Kly"; any other argument is ignored
//       without a message. With no time zone stored yet, the desktop's own
//       UTC offset is taken when it is a whole hour of the list (else the
//       default GMT +3), and the status bar says so for a while; it is
//       stored by the settings dialog's OK like any zone.
//       The window offers no maximising (its width is fixed).
//       Errors during creation are shown (ui::ReportError)
//       and do not stop the creation. The window is not shown.
//   void OpenMyDropOrClickFile(const QString& path)
//       open a given path (dropped file, command line, hand-off), with the
//       abort and save prompts when due; errors propagate (shown by
//       KalynthApplication::notify when run from an event).
//   void TakeHandOff()
//       the hand-off part of the activation handler: reads "ParamStr" /
//       "ParamStr" into handOffPath(), empties the stored value, then opens a
//       non-empty path with OpenMyDropOrClickFile. Call it for an activation
//       that is not a mouse click while the window is not minimised.
//   void StatusBarIni()          rebuild the status text (settings dialog OK)
//   void SetLunarDate(TDateTime) fill the four date lists (calendar window)
//   bool HintsShown() / SetHintsShown(bool)   hints of the whole program
//   timeCorrectionIndex(), timeZoneIndex()   the stored list indexes
//   timeSettings()   the same as calendar::TimeSettings, what the calendar
//       computations count with
//   SetTimeSettings(TimeSettings)   new settings (the settings dialog's
//       timeSettingsChanged); SetTimeSettings(correction, zone) the same by
//       list indexes, kept as given (an index outside its list shifts nothing)
//   const core::Divination& Model()   the divination shown (read only)
//   controls()   the controls, e.g. controls().Chza1, VenVan, Table1,
//       DiagUsin, StvilyVetvi: the checkable window items of "Прочее"; the
//       tool windows tick them while shown
//   SetWindows(ui::ProgramWindows)   the dialogs and tool windows the menu
//       items open, handed over by the start-up code once they exist
//   ShownCast(), divinationChanged()   what the reading window reads, and
//       the signal that it may have changed
//   bool HasRecordExtension(path)  the extension test of a given path
//
// Sizes are client sizes: the window is always 479 pixels wide and at least
// 331 high; 331 is the collapsed height, anything above it opens the
// comments box.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

#include "astro/constants.h"
#include "calendar/time_settings.h"
#include "core/boundary.h"
#include "core/coins.h"
#include "core/divination.h"
#include "records/record.h"
#include "settings/SettingsStore.h"
#include "sheet/sheet.h"
#include "ui/Platform.h"
#include "ui/ProgramWindows.h"
#include "ui/reading.h"

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QStatusBar;
class QToolBar;
class QToolButton;
class QUrl;
class TGuaBig;
class TClickLabel;
class TFormJournal;
class TFormEntry;
class TFormCoins;

// The extension of the file name part of path, from its last point, is
// exactly ".KLY", ".kly" or ".Kly".
bool HasRecordExtension(const QString& path);

// The main window's controls (object names equal the member names). The
// window owns them and inherits them privately, so only it changes them;
// tests and the start-up code reach them through TFormKalynth::controls().
struct KalynthControls {
  QMenu* FileMenu = nullptr;   // "Файл"
  QMenu* OtherMenu = nullptr;  // "Прочее"
  QMenu* HelpMenu = nullptr;   // "Справка"
  QAction *New1 = nullptr, *Open1 = nullptr, *Save1 = nullptr, *Saveas1 = nullptr, *Exit1 = nullptr;
  QAction *Print1 = nullptr, *PdfExport1 = nullptr;  // "Печать..." (Ctrl+P), "Экспорт в PDF..."
  QAction* Journal1 = nullptr;                       // "Журнал..."
  QAction* Entry1 = nullptr;                         // "Готовое гадание..." (Ctrl+E)
  TFormEntry* FormEntry = nullptr;                   // made on first use
  QAction* Coins1 = nullptr;                         // "Три монеты..." (Ctrl+M)
  QPointer<TFormCoins> FormCoins;       // the coins dialog of the last cast (deletes itself when closed)
  TFormJournal* FormJournal = nullptr;  // made on first use, lives as long as this window
  QAction *Chza1 = nullptr, *VenVan = nullptr, *Table1 = nullptr, *DiagUsin = nullptr, *StvilyVetvi = nullptr;
  QAction* Reading1 = nullptr;  // "Толкование" (Ctrl+T)
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
  // The hexagram's name under each number, shown with it.
  QLabel *GuaName1 = nullptr, *GuaName2 = nullptr, *GuaName3 = nullptr;
  QWidget *Separator1 = nullptr, *Separator2 = nullptr;  // red dotted lines between the figures
  QFrame* PanelStatus = nullptr;
  QLabel* LabelStatus = nullptr;
  QLabel* LabelBoundary = nullptr;  // the warning of a date casting near a change of the date
  QLineEdit* Edit7 = nullptr;
  QPlainTextEdit* CommentsMemo = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QLabel* StatusPanel = nullptr;  // the status bar's panel of the time settings
  QLabel* MomentPanel = nullptr;  // the moment of the cast on the sheet, its calendar as the hint
};

class TFormKalynth : public QMainWindow, private KalynthControls {
  Q_OBJECT

 public:
  static constexpr int FormWidth = 479;
  static constexpr int CollapsedHeight = 331;
  static constexpr int MinExpandedHeight = 400;
  static inline const QString WebSiteUrl = QStringLiteral("https://ru.wikisource.org/wiki/Книга_перемен");

  explicit TFormKalynth(const QStringList& arguments = {}, QWidget* parent = nullptr);
  ~TFormKalynth() override;

  // --- state, read only (the window's own handlers change it) -------------
  const core::Divination& Model() const { return model_; }
  // The primary figure is on screen.
  bool PrimaryFigureShown() const { return model_.HasFigure(core::Primary) && !view_.figuresHidden; }
  const QString& currentFileName() const { return CurrentFileName; }
  const QString& programFolder() const { return ProgramFolder; }
  // Another folder holding comment/, help/ and bmp/ (tests' own pictures).
  void SetProgramFolder(const QString& folder) { ProgramFolder = folder; }
  int expandedHeight() const { return ExpandedHeight; }
  int untitledCounter() const { return UntitledCounter; }
  const QString& handOffPath() const { return HandOffPath; }
  int timeCorrectionIndex() const { return TimeCorrectionIndex; }
  int timeZoneIndex() const { return TimeZoneIndex; }
  calendar::TimeSettings timeSettings() const {
    return calendar::TimeSettings::FromIndexes(TimeCorrectionIndex, TimeZoneIndex);
  }
  void SetTimeSettings(const calendar::TimeSettings& settings);
  void SetTimeSettings(int timeCorrectionIndex, int timeZoneIndex);
  int boundaryMinutes() const { return boundaryMinutes_; }
  void SetBoundaryMinutes(int minutes) { boundaryMinutes_ = minutes; }
  void SetWindows(const ui::ProgramWindows& windows) { windows_ = windows; }

  // The controls, to read their state and drive them as a user would.
  const KalynthControls& controls() const { return *this; }

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
  void Reading1Click();
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
  // "Готовое гадание...": a cast made elsewhere, entered in a dialog.
  void Entry1Click();
  // Six codes into the line fields as typed, then cast as ">>" does, the
  // cast counted as made by `how`.
  void EnterCodes(const std::array<std::string, 6>& codes, core::CastMethod how = core::CastMethod::Codes);
  // "Три монеты...": six throws of three coins in a dialog.
  void Coins1Click();
  // Where the coins fall from (tests); unset: the system's random source.
  void SetCoinSource(core::CoinSource source) { coinSource_ = std::move(source); }

  // --- yarrow stalks ------------------------------------------------------
  void ToolButton1Click();
  void ToolButton4Click();
  void ToolButton5Click();
  void ToolButton6Click();

  // --- date casting -------------------------------------------------------
  void GodComboChange();
  void ToolButton2Click();
  void SetLunarDate(astro::TDateTime t);

  // --- commentary ---------------------------------------------------------
  void Label1Click();
  void Label2Click();
  void Label3Click();
  void OpenGuaWindows(QLabel* label);
  // Page n (1..64) of the commentary, as a number label opens it; at the
  // page's anchor (e.g. "line3") when one is given.
  void OpenHexagramPage(int n, const QString& anchor = {});
  // The cast whose texts the reading window shows: the figures on the
  // sheet; while codes typed since the last cast are incomplete or invalid,
  // or the stalks are being divided, nothing but a hint.
  ui::ShownCast ShownCast() const;
  // Hands a page or address to the desktop; when nothing opens it, an error
  // box names the page's path or the address.
  void OpenPage(const QUrl& url);

  // --- record lifecycle ---------------------------------------------------
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
  // "Журнал...": shows the journal window.
  void Journal1Click();
  // Shown, not minimised, raised and active (after an open from the journal).
  void BringToFront();

  // --- the divination sheet (ui/sheet.h) --------------------------------------
  void Print1Click();      // print preview and printer
  void PdfExport1Click();  // save dialog, then the PDF
  // Paints the sheet for the print preview or the printer; a printer that
  // prints to a file gets it as "Экспорт в PDF" makes it.
  void PrintSheet(QPrinter& target, const ui::SheetFooter& footer);
  // The record the controls hold now (what Save writes).
  records::Record CurrentRecord() const;

 signals:
  // The divination was drawn anew into the controls (after any operation).
  void divinationChanged();
  // A record file was written (Save, Save As, the save prompt's Yes).
  void recordSaved(const QString& path);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
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
  void EditChange(int n);

  // One operation of the model, then the controls drawn from the model
  // (also when the operation ends with an error).
  void Apply(const std::function<void()>& operation);
  // Every control of the divination from the model; their change handlers
  // do not run meanwhile.
  void Draw();
  void Divide(int division);
  // ">>" with the cast counted as made by `how`.
  void CastCodes(core::CastMethod how);
  // The moment of the cast just made and its calendar, into the model.
  void RememberCastMoment();
  core::DateSelection DateLists() const;

  QString SavePromptText() const;
  QString DivisionText() const;
  // The save prompt; Yes saves before returning.
  ui::Answer AskSave();
  // The save prompt: true when the command may go on (No, or Yes with a
  // save that left the record clean).
  bool AskToSave();
  // Leaving the divination on screen (a new sheet, another record, the end
  // of the program) asks to save it when it needs saving. Leave: nothing to
  // save or the user declined; Saved: saved clean; Stay: cancelled;
  // Unsaved: the save did not leave the record clean. The open command asks
  // again after Yes (Saved or Unsaved); the others go on after Leave or Saved.
  enum class Leaving { Leave, Saved, Stay, Unsaved };
  Leaving MaybeSave();
  static bool MayLeave(Leaving l) { return l == Leaving::Leave || l == Leaving::Saved; }
  // Writes the record to path after the code-page warning; false when the
  // user went back. With a known `expected` identity the name must still
  // lead to that file. `written` receives the file written. Throws
  // records::UnsafeSaveError when the name leads elsewhere or through
  // another user's link, records::RecordError when the file cannot be made.
  bool WriteRecord(const QString& path, const records::FileIdentity& expected,
                   records::FileIdentity& written);
  // The read procedure: fields, caller's binding, lists, figures, caller's
  // reset, comments, flags. `identity`: the file it was read from.
  void ReadRecord(const records::Record& record, const QString& path, bool fromOpenDialog,
                  const records::FileIdentity& identity);
  void ShowNotARecord(const QString& path);
  void SetTitleFor(const QString& path);

  core::Divination model_;
  ui::ProgramWindows windows_;
  // What the window shows and enables beyond the divination's facts.
  struct ViewState {
    bool castEnabled = false;  // ">>": after a change of a line field or the yarrow start, until a new sheet
    bool figuresHidden = false;     // a failed date casting hid the figures until the next casting
    bool codesTyped = false;        // a line field was edited since the last casting
    std::array<int, 3> captions{};  // the number labels: the last complete casting's numbers
  };
  ViewState view_;
  bool drawing_ = false;
  unsigned drawnComments_ = 0;  // the model's comments revision the box shows
  QString CurrentFileName;
  // The file CurrentFileName led to when the record was opened or last
  // saved: Save writes only while the name still leads to it.
  records::FileIdentity CurrentFileIdentity;
  QString ProgramFolder;
  int ExpandedHeight = MinExpandedHeight;
  int UntitledCounter = 1;
  int TimeCorrectionIndex = ui::settings::CalendarLetneeTime.defaultValue;
  int TimeZoneIndex = ui::settings::CalendarGMT.defaultValue;
  QString HandOffPath;
  QString OpenDialogFileName;  // name the open dialog shows next
  bool hintsShown_ = true;
  bool zoneFromDesktop_ = false;  // no zone stored: the desktop's offset taken
  int lastHeight_ = CollapsedHeight;
  int expandedBeforeResize_ = MinExpandedHeight;  // ExpandedHeight before the last resize
  QElapsedTimer lastResize_;
  int heightBeforeResize_ = CollapsedHeight;  // the height before the last resize
  // A maximising is being given back: the heights the window manager gives
  // meanwhile are not the user's, until the window has its height again.
  bool undoingMaximize_ = false;
  int heightBeforeMaximize_ = CollapsedHeight;
  bool created_ = false;
  bool boundaryShown_ = false;  // the status strip holds the boundary warning's line
  // The moment the date lists were last filled from (nullopt: chosen by
  // hand or read from a record), and how near a change of the lunar date
  // a date casting warns (minutes; 0 never).
  std::optional<astro::TDateTime> listsMoment_;
  int boundaryMinutes_ = core::DefaultBoundaryMinutes;
  core::CoinSource coinSource_;
  const QObject* enterPressedIn_ = nullptr;  // line field or ">>" that got the Enter press
};
