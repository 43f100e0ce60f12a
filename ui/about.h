// TAboutBox: the modal "О программе" box.
//
// Top to bottom inside a bevelled panel: the product line (bold), a link to
// the maker's web address, the author of the hexagram commentaries, the
// developer, a link that starts a new mail message to the maker; below the
// panel the default button "OK".
//
// The addresses and names are the publisher's, set at build time (CMake
// cache values KALYNTH_WEB_URL, KALYNTH_MAIL_ADDRESS,
// KALYNTH_COMMENTARY_AUTHOR, KALYNTH_DEVELOPER; see README). With no web
// address the web line opens the program's own help page; with no mail
// address there is no mail line.
//
//   TAboutBox(info, parent)        created once at start-up, hidden
//   static AboutInfo BuildInfo(programFolder)   the build's values
//   int exec()                      shows the box modally (N3Click)
//   WebLinkClick()                  opens the web line's address
//   MailLinkClick()                 mailto:<address>?body=%20&subject=Message%20from%20KALYNTH%20programm
//   Both open through ui::OpenPage: when the desktop cannot open the
//   address, the error box names it, as the main window's pages do.
//   static QUrl MailUrl(address)    that mail request
//   static QString LinkText(url)    what the web line shows: a web address
//                                   as it is; a page of the program by its
//                                   title (else its file name), the path
//                                   being the line's tooltip
#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

class QFrame;
class QLabel;
class QPushButton;
class TClickLabel;

struct AboutInfo {
  QUrl web;      // opened by the web line; shown as its text
  QString mail;  // address; empty = no mail line
  QString commentaryAuthor;
  QString developer;
};

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  // "KALYNTH Version: " and the version the program was built as.
  static const QString ProductLine;
  static inline const QString MailSubject = QStringLiteral("Message from KALYNTH programm");

  explicit TAboutBox(const AboutInfo& info, QWidget* parent = nullptr);
  ~TAboutBox() override;

  static AboutInfo BuildInfo(const QString& programFolder);
  static QUrl MailUrl(const QString& address);
  static QString LinkText(const QUrl& url);

  void WebLinkClick();
  void MailLinkClick();

  QFrame* Panel1 = nullptr;
  QLabel* ProductName = nullptr;
  TClickLabel* WebLink = nullptr;
  QLabel* CommentsLabel = nullptr;
  QLabel* DeveloperLabel = nullptr;
  TClickLabel* MailLink = nullptr;  // null when there is no mail address
  QPushButton* OKButton = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  AboutInfo info_;
};
