// The platform services the main window uses and tests must control.
//
// Message boxes, file dialogs, the local clock and "open this address with
// the desktop's default program" all go through one replaceable object, so
// a test can answer a prompt, pick a file, fix the clock or catch a page
// being opened without any window of the platform appearing.
//
// API
//   enum class ui::Answer { Yes, No, Cancel, Ok }
//   struct ui::FileDialogRequest { directory, fileName, filter, defaultSuffix,
//                                  caption }   caption: the dialog's title
//                                  (empty: the dialog's own, "Сохранить как")
//   class ui::Platform            (the default implementation; override in tests)
//     Answer  warningYesNoCancel(parent, text)  warning box, Yes / No / Cancel
//                                                (closing the box = Cancel)
//     Answer  warningYesNo(parent, text)        warning box, Yes / No
//                                                (closing the box = No)
//     Answer  confirmYesNo(parent, text)        confirmation box, Yes / No
//                                                (closing the box = No)
//     void    error(parent, text)               error box, OK
//     QString openFileName(parent, request)     open dialog; empty = cancelled
//     QString saveFileName(parent, request)     save dialog: proposes
//             request.fileName, adds "." + defaultSuffix to a name typed
//             without extension, asks before overwriting, resizable, no
//             read-only check box; empty = cancelled
//     QString directoryName(parent, caption, directory)  folder chooser
//             starting at directory; empty = cancelled
//     QDateTime now()                           current local date and time
//     int     utcOffsetSeconds()                the desktop's own offset of local
//                                                time from UTC now, in seconds
//     bool    openUrl(url)                      QDesktopServices::openUrl
//   ui::Platform& ui::platform();               the one in use
//   ui::Platform* ui::setPlatform(Platform*);   replace (not owned); nullptr
//                                               restores the default; returns
//                                               the previous one
//   class ui::ScopedPlatform                    RAII replacement for a test
//   bool ui::OpenPage(parent, url)              opens url through platform()
//             .openUrl; when the desktop cannot, shows the error box that
//             names the address (a local file by its path); returns
//             whether it opened
//   astro::TDateTime ui::DayValueOf(date, time) / DayValueOf(dateTime)
//                                               day value of a clock reading
//                                               (the calendar's civil dates)
//
// Parents: a box or dialog given no parent belongs to the program's active
// window, so the window manager keeps it above that window. Every box is
// at least as wide as its caption needs, so the title bar shows it whole.
//
// Captions: the message boxes carry the standard caption of their kind
// ("Предупреждение", "Подтверждение", "Ошибка"); button texts come from
// Qt's Russian translation (see Application.h).
#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>

#include "astro/constants.h"

class QWidget;

namespace ui {

enum class Answer { Yes, No, Cancel, Ok };

struct FileDialogRequest {
  QString directory;      // folder shown first; empty = the dialog's own choice
  QString fileName;       // name put into the name box (may be empty)
  QString filter;         // e.g. "Kalynth files (*.kly)"
  QString defaultSuffix;  // e.g. "kly" (save dialog only)
  // Save dialog: asks before an existing file is chosen; false when the
  // caller checks the chosen name first and asks itself.
  bool confirmOverwrite = true;
  QString caption;  // the dialog's title; empty = the dialog's own
};

class Platform {
 public:
  virtual ~Platform();

  virtual Answer warningYesNoCancel(QWidget* parent, const QString& text);
  virtual Answer warningYesNo(QWidget* parent, const QString& text);
  virtual Answer confirmYesNo(QWidget* parent, const QString& text);
  virtual void error(QWidget* parent, const QString& text);

  virtual QString openFileName(QWidget* parent, const FileDialogRequest& request);
  virtual QString saveFileName(QWidget* parent, const FileDialogRequest& request);
  virtual QString directoryName(QWidget* parent, const QString& caption, const QString& directory);

  virtual QDateTime now();
  virtual int utcOffsetSeconds();
  virtual bool openUrl(const QUrl& url);
};

Platform& platform();
Platform* setPlatform(Platform* replacement);

// Installs a replacement for the lifetime of the object.
class ScopedPlatform {
 public:
  explicit ScopedPlatform(Platform* replacement) : previous_(setPlatform(replacement)) {}
  ~ScopedPlatform() { setPlatform(previous_); }
  ScopedPlatform(const ScopedPlatform&) = delete;
  ScopedPlatform& operator=(const ScopedPlatform&) = delete;

 private:
  Platform* previous_;
};

// Opens a page or a mail request with the desktop's program; a failure is
// shown in the error box naming the address.
bool OpenPage(QWidget* parent, const QUrl& url);

// The day value of a local clock reading, by the calendar's one civil-date
// conversion (calendar/civil.h).
astro::TDateTime DayValueOf(const QDate& date, const QTime& time);
astro::TDateTime DayValueOf(const QDateTime& local);

}  // namespace ui
