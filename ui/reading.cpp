#include "ui/reading.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "core/reading.h"
#include "settings/SettingsStore.h"
#include "ui/Accessibility.h"
#include "ui/Application.h"

namespace {

// The scheme of a heading's link: "hexagram:11" opens page 11.
const QString PageScheme = QStringLiteral("hexagram");

const ui::ToolWindowSettings ReadingWindowSettings{
    ui::settings::FormReadingLeft, ui::settings::FormReadingTop, ui::settings::FormReadingShow,
    ui::settings::SetReadingTop};

QString Html(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size())).toHtmlEscaped();
}

// The texts under their headings: a hexagram's heading (a link to its page)
// before the first of its texts, then each text's own heading, our wording
// and the classical text.
QString TextsHtml(const std::vector<core::ReadingText>& texts) {
  QString html;
  int hexagram = 0;
  for (const core::ReadingText& t : texts) {
    if (t.hexagram != hexagram) {
      hexagram = t.hexagram;
      html += QStringLiteral("<h3><a href=\"%1:%2\">%3</a></h3>")
                  .arg(PageScheme)
                  .arg(hexagram)
                  .arg(Html(core::HexagramHeading(hexagram)));
    }
    // A line's heading leads to that line on the page.
    const QString anchor = t.part == core::TextPart::Line       ? QStringLiteral("line%1").arg(t.line)
                           : t.part == core::TextPart::AllLines ? QStringLiteral("lines-all")
                                                                : QString();
    const QString heading = anchor.isEmpty() ? Html(t.heading)
                                             : QStringLiteral("<a href=\"%1:%2#%3\">%4</a>")
                                                   .arg(PageScheme)
                                                   .arg(hexagram)
                                                   .arg(anchor, Html(t.heading));
    html += QStringLiteral("<h4>") + heading + (t.leading ? QStringLiteral(" (главная)") : QString()) +
            QStringLiteral("</h4>");
    if (!t.text.empty()) html += QStringLiteral("<p>") + Html(t.text) + QStringLiteral("</p>");
    if (!t.zh.empty())
      html += QStringLiteral(
                  "<p style=\"font-family:'WenQuanYi Micro Hei','Noto Sans CJK TC',sans-serif; "
                  "font-size:large;\">") +
              Html(t.zh) + QStringLiteral("</p>");
  }
  return html;
}

std::optional<core::ReadingTexts> TextsOf(const ui::ShownCast& cast) {
  if (!cast.primary) return std::nullopt;
  return core::TextsOfReading(*cast.primary, cast.changing);
}

}  // namespace

TFormReading::TFormReading(QWidget* mainWindow, QAction* menuItem, OpenPageFunction openPage)
    : ui::TToolWindow(mainWindow, menuItem, ReadingWindowSettings), openPage_(std::move(openPage)) {
  setObjectName(QStringLiteral("FormReading"));
  setWindowTitle(QStringLiteral("Толкование"));
  setAccessibleName(windowTitle());
  CreateControls();
  ui::NameReadingWindowControls(this);
  FormCreate();
}

TFormReading::~TFormReading() {
  ui::SettingsStore store;
  store.write(ui::settings::FormReadingWidth, width());
  store.write(ui::settings::FormReadingHeight, height());
}

void TFormReading::CreateControls() {
  auto browser = [this](const char* name, const QString& accessibleName) {
    auto* b = new QTextBrowser(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAccessibleName(accessibleName);
    b->setOpenLinks(false);
    b->setFrameShape(QFrame::NoFrame);
    b->document()->setDocumentMargin(10);
    // Tab moves through the headings' links; Shift+Tab and Ctrl+Tab leave.
    b->setTextInteractionFlags(Qt::TextBrowserInteraction);
    b->setTabChangesFocus(true);
    connect(b, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) { LinkClicked(url); });
    return b;
  };
  ReadingText = browser("ReadingText", QStringLiteral("Что читать"));
  RestText = browser("RestText", QStringLiteral("Остальные тексты"));
  RestText->hide();

  RestButton = new QToolButton(this);
  RestButton->setObjectName(QStringLiteral("RestButton"));
  RestButton->setText(QStringLiteral("&Остальные тексты"));
  RestButton->setToolTip(QStringLiteral("Показать или скрыть остальные тексты основного и изменённого гуа"));
  RestButton->setAccessibleName(QStringLiteral("Остальные тексты"));
  RestButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  RestButton->setArrowType(Qt::RightArrow);
  RestButton->setCheckable(true);
  RestButton->setAutoRaise(true);
  RestButton->setFocusPolicy(Qt::StrongFocus);
  connect(RestButton, &QToolButton::clicked, this, ui::Command(this, &TFormReading::RestButtonClick));

  CopyButton = new QPushButton(QStringLiteral("&Копировать"), this);
  CopyButton->setObjectName(QStringLiteral("CopyButton"));
  CopyButton->setToolTip(QStringLiteral("Скопировать толкование с числами черт и заметкой"));
  CopyButton->setAutoDefault(false);
  connect(CopyButton, &QPushButton::clicked, this, ui::Command(this, &TFormReading::CopyButtonClick));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 6);
  layout->setSpacing(4);
  layout->addWidget(ReadingText, 3);
  auto* row = new QHBoxLayout;
  row->setContentsMargins(6, 0, 6, 0);
  row->addWidget(RestButton);
  row->addStretch(1);
  row->addWidget(CopyButton);
  layout->addLayout(row);
  layout->addWidget(RestText, 2);
  setTabOrder(ReadingText, RestButton);
  setTabOrder(RestButton, CopyButton);
  setTabOrder(CopyButton, RestText);
}

void TFormReading::FormCreate() {
  ui::SettingsStore store;
  auto hasStored = [&store](const auto& setting) {
    return store.rawText(QString::fromLatin1(setting.group), QString::fromLatin1(setting.name)).has_value();
  };
  QWidget* main = MainWindow();
  QScreen* screen = main ? main->screen() : QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 4000, 4000);
  // A size that no screen shows (a hand-edited store, another screen) gives
  // way to the screen's; the caption bar's height is left for the frame.
  constexpr int FrameAllowance = 40;
  resize(qBound(260, store.read(ui::settings::FormReadingWidth), std::max(260, area.width())),
         qBound(200, store.read(ui::settings::FormReadingHeight),
                std::max(200, area.height() - FrameAllowance)));
  // Right of the main window, its top one pixel lower (as the calendar
  // stands left of it); without room there, left of it, over the calendar
  // rather than over the main window.
  QPoint defaultPlace(area.topLeft());
  bool room = true;
  if (main) {
    const QRect mainFrame = main->frameGeometry();
    const QPoint right(mainFrame.right() + 1 + 4, main->y() + 1);
    const QPoint left(mainFrame.left() - 4 - width(), main->y() + 1);
    room = right.x() + width() <= area.right() + 1;
    // A window of the default height ends above the screen's foot, its
    // caption bar (not known before it is shown) included.
    if (!hasStored(ui::settings::FormReadingHeight))
      resize(width(), std::clamp(area.bottom() + 1 - right.y() - FrameAllowance, 200, height()));
    // A window of the default width narrows to the room beside the main
    // window, down to a width that still reads well.
    constexpr int NarrowestBeside = 300;
    const int roomRight = area.right() + 1 - right.x();
    if (!room && !hasStored(ui::settings::FormReadingWidth) && roomRight >= NarrowestBeside) {
      resize(roomRight, height());
      room = true;
    }
    defaultPlace = room || left.x() < area.left() ? right : left;
  }
  // Nothing stored yet: shown on a first start only where it does not cover
  // another window.
  ReadPosition(defaultPlace);
  ReadStaysOnTop();
  if (hasStored(ui::settings::FormReadingShow) || room) ShowIfStored();
}

void TFormReading::ShowCast(const ui::ShownCast& cast) {
  if (cast == cast_ && laidOut_) return;
  const bool sameTexts = laidOut_ && cast.primary == cast_.primary && cast.changing == cast_.changing &&
                         cast.hint == cast_.hint && cast.context == cast_.context;
  cast_ = cast;
  if (sameTexts) return;  // only the note or the source changed: the copy reads them
  laidOut_ = false;
  if (isVisible()) LayOut();
}

void TFormReading::showEvent(QShowEvent* event) {
  if (!laidOut_) LayOut();
  ui::TToolWindow::showEvent(event);
}

void TFormReading::LayOut() {
  ReadingText->setHtml(ReadingHtml(cast_));
  RestButton->setEnabled(cast_.primary.has_value());
  laidOut_ = true;
  // The other texts are long: laid out only while unfolded, and after the
  // selected ones are on screen.
  restLaidOut_ = false;
  if (RestButton->isChecked())
    QTimer::singleShot(0, this, [this] { LayOutRest(); });
  else
    RestText->hide();
}

void TFormReading::LayOutRest() {
  if (restLaidOut_ || !laidOut_) return;
  RestText->setHtml(RestHtml(cast_));
  RestText->setVisible(RestButton->isChecked() && RestButton->isEnabled());
  restLaidOut_ = true;
}

QString TFormReading::ReadingHtml(const ui::ShownCast& cast) {
  const std::optional<core::ReadingTexts> texts = TextsOf(cast);
  if (!texts) return QStringLiteral("<p>") + cast.hint.toHtmlEscaped() + QStringLiteral("</p>");
  const QString context =
      cast.context.isEmpty()
          ? QString()
          : QStringLiteral("<p><small>") + cast.context.toHtmlEscaped() + QStringLiteral("</small></p>");
  return context + QStringLiteral("<p><b>") + Html(texts->rule) + QStringLiteral("</b></p>") +
         TextsHtml(texts->selected);
}

QString TFormReading::RestHtml(const ui::ShownCast& cast) {
  const std::optional<core::ReadingTexts> texts = TextsOf(cast);
  if (!texts) return {};
  return TextsHtml(texts->rest);
}

void TFormReading::RestButtonClick() {
  const bool open = RestButton->isChecked();
  RestButton->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
  if (!laidOut_) LayOut();
  if (open) LayOutRest();
  RestText->setVisible(open && RestButton->isEnabled());
}

QString TFormReading::PlainText() const {
  QString text;
  if (!cast_.source.isEmpty()) text += cast_.source + QLatin1Char('\n');
  if (!cast_.note.isEmpty()) text += QStringLiteral("Заметка: ") + cast_.note + QLatin1Char('\n');
  if (!cast_.context.isEmpty()) text += cast_.context + QLatin1Char('\n');
  if (!text.isEmpty()) text += QLatin1Char('\n');
  if (const std::optional<core::ReadingTexts> texts = TextsOf(cast_))
    text += QString::fromStdString(core::PlainReadingText(*texts));
  else
    text += cast_.hint + QLatin1Char('\n');
  return text;
}

void TFormReading::CopyButtonClick() {
  QGuiApplication::clipboard()->setText(PlainText());
}

void TFormReading::LinkClicked(const QUrl& url) {
  if (url.scheme() != PageScheme || !openPage_) return;
  bool ok = false;
  const int n = url.path().toInt(&ok);
  // Only the anchors the pages have.
  const QString fragment = url.fragment();
  static const QRegularExpression anchors(QStringLiteral("^(line[1-6]|lines-all)?$"));
  if (ok && n >= 1 && n <= 64 && anchors.match(fragment).hasMatch())
    ui::RunCommand([this, n, fragment] { openPage_(n, fragment); });
}
