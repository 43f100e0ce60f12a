#include "ui/about.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QUrlQuery>
#include <QVBoxLayout>

#include "ui/Application.h"
#include "ui/ClickLabel.h"
#include "ui/Platform.h"
#include "ui/about_config.h"

const QString TAboutBox::ProductLine = QStringLiteral("KALYNTH Version: " KALYNTH_VERSION);

namespace {

void MakeLink(QLabel* label) {
  QFont f = label->font();
  f.setUnderline(true);
  label->setFont(f);
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, Qt::blue);
  label->setPalette(pal);
  label->setCursor(Qt::PointingHandCursor);
}

}  // namespace

QString TAboutBox::LinkText(const QUrl& url) {
  if (!url.isLocalFile()) return url.toDisplayString();
  // A page of the program: its title, as a browser would name it.
  QFile page(url.toLocalFile());
  if (page.open(QIODevice::ReadOnly)) {
    const QString head = QString::fromUtf8(page.read(4096));
    static const QRegularExpression title(QStringLiteral("<title[^>]*>([^<]*)</title>"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QString text = title.match(head).captured(1).simplified();
    if (!text.isEmpty()) return text;
  }
  return QFileInfo(url.toLocalFile()).fileName();
}

AboutInfo TAboutBox::BuildInfo(const QString& programFolder) {
  AboutInfo info;
  const QString web = QString::fromUtf8(KALYNTH_WEB_URL).trimmed();
  info.web =
      web.isEmpty() ? QUrl::fromLocalFile(programFolder + QStringLiteral("/help/index.htm")) : QUrl(web);
  info.mail = QString::fromUtf8(KALYNTH_MAIL_ADDRESS).trimmed();
  info.commentaryAuthor = QString::fromUtf8(KALYNTH_COMMENTARY_AUTHOR);
  info.developer = QString::fromUtf8(KALYNTH_DEVELOPER);
  return info;
}

QUrl TAboutBox::MailUrl(const QString& address) {
  QUrl url(QStringLiteral("mailto:") + address);
  // Body first, then subject; the body is one blank.
  QUrlQuery query;
  query.addQueryItem(QStringLiteral("body"), QStringLiteral(" "));
  query.addQueryItem(QStringLiteral("subject"), MailSubject);
  url.setQuery(query);
  return url;
}

TAboutBox::TAboutBox(const AboutInfo& info, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      info_(info) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("О программе"));
  setModal(true);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
  setSizeGripEnabled(true);

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setFrameShadow(QFrame::Sunken);
  Panel1->setLineWidth(2);
  {
    // The bevel's shades, visible on the white box.
    QPalette bevel = Panel1->palette();
    bevel.setColor(QPalette::Light, QColor(235, 235, 235));
    bevel.setColor(QPalette::Midlight, QColor(225, 225, 225));
    bevel.setColor(QPalette::Mid, QColor(190, 190, 190));
    bevel.setColor(QPalette::Dark, QColor(150, 150, 150));
    bevel.setColor(QPalette::Shadow, QColor(110, 110, 110));
    Panel1->setPalette(bevel);
  }
  auto* lines = new QVBoxLayout(Panel1);
  lines->setContentsMargins(14, 12, 14, 12);
  lines->setSpacing(8);

  ProductName = new QLabel(ProductLine, Panel1);
  ProductName->setObjectName(QStringLiteral("ProductName"));
  QFont bold = ProductName->font();
  bold.setBold(true);
  ProductName->setFont(bold);
  lines->addWidget(ProductName);

  WebLink = new TClickLabel(Panel1);
  WebLink->setObjectName(QStringLiteral("WebLink"));
  WebLink->setText(LinkText(info_.web));
  WebLink->setToolTip(info_.web.isLocalFile() ? QDir::toNativeSeparators(info_.web.toLocalFile())
                                              : info_.web.toDisplayString());
  MakeLink(WebLink);
  lines->addWidget(WebLink);
  connect(WebLink, &TClickLabel::clicked, this, ui::Command(this, &TAboutBox::WebLinkClick));

  CommentsLabel = new QLabel(QStringLiteral("Комментарии к гуа: ") + info_.commentaryAuthor, Panel1);
  CommentsLabel->setObjectName(QStringLiteral("CommentsLabel"));
  lines->addWidget(CommentsLabel);
  DeveloperLabel = new QLabel(QStringLiteral("Разработка программы: ") + info_.developer, Panel1);
  DeveloperLabel->setObjectName(QStringLiteral("DeveloperLabel"));
  lines->addWidget(DeveloperLabel);

  if (!info_.mail.isEmpty()) {
    MailLink = new TClickLabel(info_.mail, Panel1);
    MailLink->setObjectName(QStringLiteral("MailLink"));
    MakeLink(MailLink);
    lines->addWidget(MailLink);
    connect(MailLink, &TClickLabel::clicked, this, ui::Command(this, &TAboutBox::MailLinkClick));
  }

  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setDefault(true);
  OKButton->setAutoDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(10, 10, 10, 10);
  layout->setSpacing(10);
  layout->addWidget(Panel1, 1);
  layout->addWidget(OKButton, 0, Qt::AlignHCenter);
  OKButton->setFocus();
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::showEvent(QShowEvent* event) {
  // Centred on the screen at every showing.
  adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
  }
  OKButton->setFocus();
  QDialog::showEvent(event);
}

void TAboutBox::WebLinkClick() {
  ui::OpenPage(this, info_.web);
}

void TAboutBox::MailLinkClick() {
  ui::OpenPage(this, MailUrl(info_.mail));
}
