// TFormReading: the reading window "Толкование".
//
// Shows what to read for the cast on the main window's sheet: the rule that
// applies in one sentence, then the texts it selects in the order they are
// read, each under its heading with our wording and the classical text
// beneath; folded below ("Остальные тексты"), the other texts of the primary
// and the changed hexagram. Every text comes from core::TextsOfReading (the
// one table of texts); the window only lays them out. A hexagram heading is
// a link: it opens that hexagram's page (a line's heading: at that line)
// through the same path as the main window's number labels (and its error box when the desktop opens
// nothing). "Копировать" puts the reading on the clipboard as plain text,
// with what the cast came from and the note.
//
// Position, size, shown state with the "Толкование" item of "Прочее"
// (Reading1), close box and stay on top are the rules of every tool window
// (ui/ToolWindow.h). On a first start it stands right of the main window and
// is shown when the screen has room for it there.
//
// Public API (the start-up code, tests):
//   TFormReading(mainWindow, menuItem, openPage)
//       mainWindow: default place and the window it stays above; menuItem:
//       the item it ticks; openPage: opens a hexagram's page (1..64), at a
//       line's anchor for the heading of a line.
//   void ShowCast(const ui::ShownCast&)   what the main window shows now;
//       the text is laid out again only when the cast changed, and while
//       the window is hidden only once it is shown
//   QString PlainText() const   what "Копировать" copies
//   void CopyButtonClick(), RestButtonClick()
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "core/hexagram.h"
#include "ui/ToolWindow.h"

class QLabel;
class QPushButton;
class QTextBrowser;
class QToolButton;
class QUrl;

namespace ui {

// The cast the main window shows, as the reading window reads it.
struct ShownCast {
  std::optional<core::Figure> primary;  // nullopt: nothing to read (see hint)
  std::vector<int> changing;            // its changing lines 1..6, bottom first
  QString hint;                         // why there is nothing to read
  QString source;   // what the cast came from: "Числа черт: 788 …" or "Гуа на год …"
  QString note;     // the divination's note
  QString context;  // the moment and calendar of the cast (core::ContextText), or that it is unknown
  friend bool operator==(const ShownCast&, const ShownCast&) = default;
};

}  // namespace ui

class TFormReading : public ui::TToolWindow {
  Q_OBJECT

 public:
  // Opens page `hexagram` (1..64) at `anchor` ("line3", "lines-all"; empty:
  // the top).
  using OpenPageFunction = std::function<void(int hexagram, const QString& anchor)>;
  TFormReading(QWidget* mainWindow, QAction* menuItem, OpenPageFunction openPage);
  ~TFormReading() override;

  // --- controls (object names equal the member names) ---------------------
  QTextBrowser* ReadingText = nullptr;  // the rule and the selected texts
  QToolButton* RestButton = nullptr;    // "Остальные тексты": folds RestText
  QTextBrowser* RestText = nullptr;     // the other texts, hidden while folded
  QPushButton* CopyButton = nullptr;    // "Копировать"

  void ShowCast(const ui::ShownCast& cast);
  const ui::ShownCast& Cast() const { return cast_; }
  QString PlainText() const;
  void CopyButtonClick();
  void RestButtonClick();
  // The HTML documents of the two parts (tests, screenshots).
  static QString ReadingHtml(const ui::ShownCast& cast);
  static QString RestHtml(const ui::ShownCast& cast);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CreateControls();
  void FormCreate();
  void LayOut();
  void LayOutRest();
  void LinkClicked(const QUrl& url);

  OpenPageFunction openPage_;
  ui::ShownCast cast_;
  bool laidOut_ = false;      // ReadingText shows cast_
  bool restLaidOut_ = false;  // RestText shows cast_
};
