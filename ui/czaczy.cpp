#include "ui/czaczy.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>
#include <string_view>

#include "calendar/StvolyVetvi.h"
#include "calendar/civil.h"
#include "calendar/signs.h"
#include "core/hexnames.h"
#include "settings/SettingsStore.h"
#include "ui/Accessibility.h"
#include "ui/Application.h"
#include "ui/CastDays.h"
#include "ui/Platform.h"

namespace {

const QColor Maroon(128, 0, 0);
const QColor Grey(128, 128, 128);
constexpr int WindowWidth = 196;
constexpr int GlyphWidth = 20;
constexpr int GlyphHeight = 19;

const ui::ToolWindowSettings CzaczyValues{ui::settings::FormCzaczyLeft, ui::settings::FormCzaczyTop,
                                          ui::settings::FormCzaczyShow, ui::settings::SetCzaczyTop};

// The regional formats: Russian, whatever the system says.
QLocale Regional() {
  return QLocale(QLocale::Russian, QLocale::Russia);
}

// The regional long time without the zone name QLocale adds ("HH:mm:ss").
QString LongTimeFormat() {
  QString format = Regional().timeFormat(QLocale::LongFormat);
  format.remove(QLatin1Char('t'));
  return format.trimmed();
}

QString Text(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// One sign picture of ui/glyphs, the 2x drawing on a scaled display.
QPixmap SignPicture(const char* kind, int number, qreal scale) {
  if (scale > 1) {
    QPixmap sharp(QStringLiteral(":/glyphs/%1%2@2x.png").arg(QLatin1String(kind)).arg(number));
    sharp.setDevicePixelRatio(2);
    return sharp;
  }
  return QPixmap(QStringLiteral(":/glyphs/%1%2.png").arg(QLatin1String(kind)).arg(number));
}

void SetReading(QLabel* image, const QString& reading) {
  image->setToolTip(reading);
  image->setAccessibleName(reading);
}

}  // namespace

// The pictures live in a static library: pull its resources in explicitly.
static void InitResources() {
  Q_INIT_RESOURCE(kalynth);
}

TFormCzaczy::TFormCzaczy(QWidget* mainWindow, QAction* menuItem, const calendar::TimeSettings& timeSettings,
                         SetLunarDateFunction setLunarDate)
    : ui::TToolWindow(mainWindow, menuItem, CzaczyValues),
      timeSettings_(timeSettings),
      setLunarDate_(std::move(setLunarDate)) {
  InitResources();
  CreateControls();
  ui::NameCalendarWindowControls(this);
  FormCreate();
}

TFormCzaczy::~TFormCzaczy() {
  FormDestroy();
}

void TFormCzaczy::CreateControls() {
  setObjectName(QStringLiteral("FormCzaczy"));
  setWindowTitle(QStringLiteral("Календарь"));
  const QLocale regional = Regional();
  auto named = [](auto* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
  };
  auto maroon = [](QLabel* label) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, Maroon);
    label->setPalette(p);
  };

  DateTimePicker1 = named(new QDateTimeEdit(this), "DateTimePicker1");
  DateTimePicker1->setLocale(regional);
  DateTimePicker1->setDisplayFormat(regional.dateFormat(QLocale::ShortFormat));
  DateTimePicker1->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  DateTimePicker1->setAccessibleName(QStringLiteral("Дата"));
  DateTimePicker2 = named(new QTimeEdit(this), "DateTimePicker2");
  DateTimePicker2->setLocale(regional);
  DateTimePicker2->setDisplayFormat(LongTimeFormat());
  DateTimePicker2->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
  DateTimePicker2->setAccessibleName(QStringLiteral("Время"));

  ButtonNow = named(new QPushButton(this), "ButtonNow");
  ButtonNow->setDefault(true);
  QFont small = ButtonNow->font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  ButtonNow->setFont(small);
  ButtonNow->setToolTip(QStringLiteral("Рассчитать на текущий момент"));

  Label2 = named(new QLabel(QStringLiteral("Расчет произведен на:"), this), "Label2");
  Label2->setAlignment(Qt::AlignCenter);
  {
    QPalette p = Label2->palette();
    p.setColor(QPalette::WindowText, Grey);
    Label2->setPalette(p);
  }
  LabelNow = named(new QLabel(QStringLiteral("Расчет на"), this), "LabelNow");
  LabelNow->setAlignment(Qt::AlignCenter);
  QFont bold = LabelNow->font();
  bold.setBold(true);
  LabelNow->setFont(bold);

  auto image = [this, &named](const char* name) {
    QLabel* l = named(new QLabel(this), name);
    l->setFixedSize(GlyphWidth, GlyphHeight);
    return l;
  };
  Label6 = named(new QLabel(QStringLiteral("Год:"), this), "Label6");
  StvolYahr = image("StvolYahr");
  VetvYahr = image("VetvYahr");
  Label5 = named(new QLabel(QStringLiteral("Сезон:"), this), "Label5");
  StvolMonth = image("StvolMonth");
  VetvMonth = image("VetvMonth");
  Label1 = named(new QLabel(QStringLiteral("Знаки дня:"), this), "Label1");
  StvolDay = image("StvolDay");
  VetvDay = image("VetvDay");
  Label3 = named(new QLabel(QStringLiteral("Знаки часа:"), this), "Label3");
  StvolChas = image("StvolChas");
  VetvChas = image("VetvChas");
  for (QLabel* l : {Label6, Label5, Label1, Label3}) maroon(l);

  BigSeason = named(new QLabel(this), "BigSeason");
  BigSeason->setFont(bold);
  BigSeason->setAlignment(Qt::AlignCenter);
  maroon(BigSeason);
  SmolSeason = named(new QLabel(this), "SmolSeason");
  SmolSeason->setAlignment(Qt::AlignCenter);
  CheckMoon = named(new QCheckBox(QStringLiteral("Лунный календарь"), this), "CheckMoon");

  // The 22 sign pictures, hidden, each with its reading.
  const qreal scale = devicePixelRatioF();
  for (int s = 1; s <= 10; ++s) {
    Stvol[s] = named(new QLabel(this), qPrintable(QStringLiteral("Stvol%1").arg(s)));
    Stvol[s]->setPixmap(SignPicture("stem", s, scale));
    SetReading(Stvol[s], Text(calendar::StemReading(s)));
    Stvol[s]->hide();
  }
  for (int b = 1; b <= 12; ++b) {
    Vetv[b] = named(new QLabel(this), qPrintable(QStringLiteral("Vetv%1").arg(b)));
    Vetv[b]->setPixmap(SignPicture("branch", b, scale));
    SetReading(Vetv[b], Text(calendar::BranchReading(b)));
    Vetv[b]->hide();
  }

  Timer1 = named(new QTimer(this), "Timer1");
  Timer1->setInterval(1000);

  // Layout, top to bottom.
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(6, 6, 6, 6);
  column->setSpacing(3);
  auto* pickers = new QHBoxLayout;
  pickers->setSpacing(4);
  pickers->addWidget(DateTimePicker1, 11);
  pickers->addWidget(DateTimePicker2, 9);
  column->addLayout(pickers);
  column->addWidget(ButtonNow);
  column->addSpacing(2);
  column->addWidget(Label2);
  column->addWidget(LabelNow);
  column->addSpacing(4);
  auto* rows = new QGridLayout;
  rows->setHorizontalSpacing(4);
  rows->setVerticalSpacing(3);
  // The four rows sit in the middle: the outer columns share the spare width.
  rows->setColumnStretch(0, 1);
  rows->setColumnStretch(4, 1);
  rows->setColumnMinimumWidth(1, 96);
  QLabel* const grid[4][3] = {{Label6, StvolYahr, VetvYahr},
                              {Label5, StvolMonth, VetvMonth},
                              {Label1, StvolDay, VetvDay},
                              {Label3, StvolChas, VetvChas}};
  for (int r = 0; r < 4; ++r) {
    rows->addWidget(grid[r][0], r, 1);
    rows->addWidget(grid[r][1], r, 2);
    rows->addWidget(grid[r][2], r, 3);
  }
  column->addLayout(rows);
  column->addSpacing(4);
  column->addWidget(BigSeason);
  column->addWidget(SmolSeason);
  column->addSpacing(2);
  column->addWidget(CheckMoon, 0, Qt::AlignHCenter);
  // The divinations cast on the chosen day (the journal's folder): hidden
  // on a day without any.
  DayCastsLabel = named(new QLabel(this), "DayCastsLabel");
  DayCastsLabel->setAlignment(Qt::AlignCenter);
  DayCasts = named(new QListWidget(this), "DayCasts");
  DayCasts->setAccessibleName(QStringLiteral("Гадания этого дня"));
  DayCasts->setToolTip(QStringLiteral("Двойной щелчок или Enter открывает запись"));
  DayCasts->setFixedHeight(DayCasts->fontMetrics().height() * 3 + 8);
  DayCasts->setTextElideMode(Qt::ElideRight);
  DayCastsLabel->hide();
  DayCasts->hide();
  column->addWidget(DayCastsLabel);
  column->addWidget(DayCasts);
  connect(DayCasts, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    const QString path = item->data(Qt::UserRole).toString();
    if (openRecord_ && !path.isEmpty()) ui::RunCommand([this, path] { openRecord_(path); });
  });

  setFixedSize(WindowWidth, column->sizeHint().height());

  connect(ButtonNow, &QPushButton::clicked, this, ui::Command(this, &TFormCzaczy::ButtonNowClick));
  connect(DateTimePicker1, &QDateTimeEdit::dateTimeChanged, this,
          ui::Command(this, &TFormCzaczy::DateTimePicker1Change));
  connect(DateTimePicker2, &QTimeEdit::timeChanged, this,
          ui::Command(this, &TFormCzaczy::DateTimePicker1Change));
  connect(CheckMoon, &QCheckBox::clicked, this, ui::Command(this, &TFormCzaczy::CheckMoonClick));
  connect(Timer1, &QTimer::timeout, this, ui::Command(this, &TFormCzaczy::Timer1Timer));
}

// Creation runs outside any event: an error of the calendar is shown here
// and the window is still made.
void TFormCzaczy::FormCreate() {
  // Place: left of the main window, its top one pixel lower.
  QPoint defaultPlace(0, 0);
  if (MainWindow())
    defaultPlace = QPoint(MainWindow()->x() - frameGeometry().width() - 4, MainWindow()->y() + 1);
  ReadPosition(defaultPlace);
  // The lunar-calendar box as stored (not as designed).
  {
    ui::SettingsStore store;
    CheckMoon->setChecked(store.read(ui::settings::SetCheckMoon));
  }
  // Stay on top and shown at start, as stored.
  ReadStaysOnTop();
  ShowIfStored();
  // The pickers: today, now.
  const QDateTime now = ui::platform().now();
  {
    const QSignalBlocker b1(DateTimePicker1), b2(DateTimePicker2);
    DateTimePicker1->setDateTime(now);
    DateTimePicker2->setTime(now.time());
  }
  // The moment computed for, and the pillars of now.
  ButtonNow->setText(DateTimeText(now));
  LabelNow->setText(DateTimeText(now));
  try {
    SetMyCalendar(ui::DayValueOf(now.date(), now.time()));
  } catch (const std::exception& e) {
    ui::ReportError(e);
  }
  Timer1->start();
}

void TFormCzaczy::FormDestroy() {
  ui::SettingsStore store;
  store.write(ui::settings::SetCheckMoon, CheckMoon->isChecked());
}

void TFormCzaczy::ButtonNowClick() {
  const QDateTime now = ui::platform().now();
  LabelNow->setText(DateTimeText(now));
  {
    const QSignalBlocker b1(DateTimePicker1), b2(DateTimePicker2);
    DateTimePicker1->setDate(now.date());
    DateTimePicker2->setTime(now.time());
  }
  const astro::TDateTime x = ui::DayValueOf(now.date(), now.time());
  SetMyCalendar(x);
  if (CheckMoon->isChecked() && setLunarDate_) setLunarDate_(x);
}

void TFormCzaczy::SetCastDays(ui::CastDays* days, std::function<void(const QString&)> openRecord) {
  castDays_ = days;
  openRecord_ = std::move(openRecord);
  if (castDays_) {
    connect(castDays_, &ui::CastDays::changed, this, [this] { ShowDayCasts(); });
    // The folder is read when the window is on screen, not before.
    if (isVisible()) castDays_->Scan();
  }
  ShowDayCasts();
}

void TFormCzaczy::showEvent(QShowEvent* event) {
  if (castDays_) castDays_->Scan();
  ui::TToolWindow::showEvent(event);
}

void TFormCzaczy::ShowDayCasts() {
  const QDate day = DateTimePicker1->date();
  // Another hour of the same day changes nothing here.
  const unsigned revision = castDays_ ? castDays_->revision() + 1 : 0;
  if (day == shownDay_ && revision == shownRevision_) return;
  shownDay_ = day;
  shownRevision_ = revision;
  const QList<records::JournalRow> casts = castDays_ ? castDays_->On(day) : QList<records::JournalRow>();
  DayCasts->clear();
  for (const records::JournalRow& row : casts) {
    QString text = row.cast.toString(QStringLiteral("HH:mm"));
    if (row.primary > 0)
      text += QStringLiteral("  %1 %2")
                  .arg(row.primary)
                  .arg(QString::fromUtf8(core::NameOfHexagram(row.primary).name));
    text += QStringLiteral("  ") + (row.note.isEmpty() ? row.fileName : row.note);
    auto* item = new QListWidgetItem(text, DayCasts);
    item->setData(Qt::UserRole, row.path);
    item->setToolTip(row.path + QLatin1Char('\n') + row.castContext);
  }
  const bool any = !casts.isEmpty();
  // The date picker marks a day with divinations: bold, and says how many.
  QFont font = DateTimePicker1->font();
  font.setBold(any);
  DateTimePicker1->setFont(font);
  DateTimePicker1->setToolTip(any ? QStringLiteral("Гаданий в этот день: %1").arg(casts.size()) : QString());
  DayCastsLabel->setText(QStringLiteral("Гаданий в этот день: %1").arg(casts.size()));
  if (DayCasts->isHidden() == any) {
    DayCastsLabel->setVisible(any);
    DayCasts->setVisible(any);
    setFixedHeight(layout()->sizeHint().height());
  }
}

void TFormCzaczy::SetMyCalendar(astro::TDateTime x) {
  ShowDayCasts();
  const calendar::TimeSettings settings = timeSettings_;
  // Numbers not computed stay 0, and ShowSigns leaves their pictures as
  // they were: after an error the pillars computed before it are shown.
  calendar::Pillars p;
  auto show = [this, &p] {
    ShowSigns(StvolYahr, VetvYahr, p.yearStem, p.yearBranch);
    ShowSigns(StvolChas, VetvChas, p.hourStem, p.hourBranch);
    ShowSigns(StvolMonth, VetvMonth, p.monthStem, p.monthBranch);
    ShowSigns(StvolDay, VetvDay, p.dayStem, p.dayBranch);
  };
  try {
    calendar::ComputePillars(x, settings, p);
  } catch (...) {
    show();
    throw;
  }
  show();
  BigSeason->setText(QString::fromStdString(p.season));
  SmolSeason->setText(QString::fromStdString(p.term));
}

void TFormCzaczy::ShowSigns(QLabel* stemImage, QLabel* branchImage, int stem, int branch) {
  auto copy = [](QLabel* from, QLabel* to) {
    to->setPixmap(from->pixmap());
    SetReading(to, from->toolTip());
  };
  if (calendar::IsStem(stem)) copy(Stvol[stem], stemImage);
  if (calendar::IsBranch(branch)) copy(Vetv[branch], branchImage);
}

void TFormCzaczy::DateTimePicker1Change() {
  {
    const QSignalBlocker blocker(DateTimePicker1);
    DateTimePicker1->setDateTime(QDateTime(DateTimePicker1->date(), DateTimePicker2->time()));
  }
  const astro::TDateTime m = WindowMoment();
  LabelNow->setText(DateTimeText(DateTimePicker1->dateTime()));
  SetMyCalendar(m);
  if (CheckMoon->isChecked() && setLunarDate_) setLunarDate_(m);
}

void TFormCzaczy::CheckMoonClick() {
  if (!CheckMoon->isChecked()) return;
  {
    const QSignalBlocker blocker(DateTimePicker1);
    DateTimePicker1->setDateTime(QDateTime(DateTimePicker1->date(), DateTimePicker2->time()));
  }
  if (setLunarDate_) setLunarDate_(WindowMoment());
}

void TFormCzaczy::Timer1Timer() {
  ButtonNow->setText(DateTimeText(ui::platform().now()));
}

astro::TDateTime TFormCzaczy::WindowMoment() const {
  return ui::DayValueOf(DateTimePicker1->date(), DateTimePicker2->time());
}

QString TFormCzaczy::DateTimeText(const QDateTime& moment) {
  const QLocale regional = Regional();
  QString text = regional.toString(moment.date(), QLocale::ShortFormat);
  if (moment.time() != QTime(0, 0))
    text += QLatin1Char(' ') + regional.toString(moment.time(), LongTimeFormat());
  return text;
}

// ButtonNow is the window's default button: Enter anywhere computes for now.
void TFormCzaczy::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    ButtonNow->click();
    return;
  }
  ui::TToolWindow::keyPressEvent(event);
}
