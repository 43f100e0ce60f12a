#include "ui/sett.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

#include "calendar/civil.h"
#include "core/boundary.h"
#include "settings/SettingsStore.h"
#include "ui/Accessibility.h"
#include "ui/Application.h"
#include "ui/GuaBig.h"
#include "ui/Platform.h"
#include "ui/ToolWindow.h"
#include "ui/czaczy.h"
#include "ui/kalynth.h"
#include "ui/reading.h"

namespace {

// Selects entry index, or nothing when index lies outside the list.
void Select(QComboBox* list, int index) {
  list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

}  // namespace

QStringList TSettForm::CorrectionEntries() {
  QStringList entries;
  for (int i = 0; i <= 6; ++i) {
    const int hours =
        calendar::TimeSettings::FromIndexes(i, calendar::TimeSettings::NoZoneIndex).correctionHours;
    entries << (hours > 0 ? QStringLiteral("+") : QString()) + QString::number(hours);
  }
  return entries;
}

QStringList TSettForm::ZoneEntries() {
  QStringList entries;
  for (int i = 0; i <= 25; ++i) {
    const int offset =
        *calendar::TimeSettings::FromIndexes(calendar::TimeSettings::DefaultCorrectionIndex, i).zoneHours;
    // The zero zone is "GMT " with its blank and no number.
    entries << QStringLiteral("GMT ") +
                   (offset == 0 ? QString()
                                : (offset > 0 ? QStringLiteral("+") : QString()) + QString::number(offset));
  }
  return entries;
}

TSettForm::TSettForm(TFormKalynth* mainWindow, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      main_(mainWindow) {
  setObjectName(QStringLiteral("SettForm"));
  setWindowTitle(QStringLiteral("Установки"));
  setModal(true);
  setSizeGripEnabled(true);

  auto named = [](auto* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
  };
  CheckHint = named(new QCheckBox(QStringLiteral("Подсказки"), this), "CheckHint");
  Label1 = named(new QLabel(QStringLiteral("Поправка времени (час)"), this), "Label1");
  ComboBoxLetnee = named(new QComboBox(this), "ComboBoxLetnee");
  ComboBoxLetnee->addItems(CorrectionEntries());
  ComboBoxLetnee->setEditable(false);
  Label2 = named(new QLabel(QStringLiteral("Часовой пояс"), this), "Label2");
  GMTCombo = named(new QComboBox(this), "GMTCombo");
  GMTCombo->setEditable(true);
  // Typed text stays in the box; it never becomes a new entry of the list.
  GMTCombo->setInsertPolicy(QComboBox::NoInsert);
  GMTCombo->addItems(ZoneEntries());
  GMTCombo->setMaxVisibleItems(10);
  Label1->setBuddy(ComboBoxLetnee);
  Label2->setBuddy(GMTCombo);
  Label4 = named(new QLabel(QStringLiteral("Предупреждать о смене даты гадания за (мин)"), this), "Label4");
  BoundaryMinutes = named(new QSpinBox(this), "BoundaryMinutes");
  BoundaryMinutes->setRange(0, core::MaxBoundaryMinutes);
  BoundaryMinutes->setSpecialValueText(QStringLiteral("не предупреждать"));
  BoundaryMinutes->setToolTip(
      QStringLiteral("Гадание по дате, полученное за столько минут до смены двойного часа, дня (23:00), "
                     "лунного месяца или года или после неё, показывает, что дала бы другая сторона"));
  Label4->setBuddy(BoundaryMinutes);
  Label3 = named(new QLabel(QStringLiteral("Поверх всех окон:"), this), "Label3");
  QFont bold = Label3->font();
  bold.setBold(true);
  Label3->setFont(bold);
  CheckCall = named(new QCheckBox(QStringLiteral("Календарь"), this), "CheckCall");
  CheckVenVan = named(new QCheckBox(QStringLiteral("Диаграмма Вень-вана"), this), "CheckVenVan");
  CheckBoxDiag = named(new QCheckBox(QStringLiteral("Диаграмма «Стволы-ветви»"), this), "CheckBoxDiag");
  CheckUsin = named(new QCheckBox(QStringLiteral("Диаграмма «У-син»"), this), "CheckUsin");
  CheckStvoly = named(new QCheckBox(QStringLiteral("Стволы-ветви"), this), "CheckStvoly");
  CheckReading = named(new QCheckBox(QStringLiteral("Толкование"), this), "CheckReading");
  BitBtn1 = named(new QPushButton(QStringLiteral("OK"), this), "BitBtn1");
  BitBtn1->setDefault(true);
  BitBtn2 = named(new QPushButton(QStringLiteral("Cancel"), this), "BitBtn2");
  connect(BitBtn1, &QPushButton::clicked, this, ui::Command(this, &TSettForm::BitBtn1Click));
  connect(this, &TSettForm::timeSettingsChanged, main_,
          qOverload<const calendar::TimeSettings&>(&TFormKalynth::SetTimeSettings));
  connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 10, 12, 10);
  layout->setSpacing(6);
  layout->addWidget(CheckHint);
  layout->addSpacing(4);
  layout->addWidget(Label1);
  layout->addWidget(ComboBoxLetnee);
  layout->addWidget(Label2);
  layout->addWidget(GMTCombo);
  layout->addWidget(Label4);
  layout->addWidget(BoundaryMinutes);
  layout->addSpacing(6);
  layout->addWidget(Label3);
  for (QCheckBox* box : {CheckCall, CheckVenVan, CheckBoxDiag, CheckUsin, CheckStvoly, CheckReading})
    layout->addWidget(box);
  layout->addStretch(1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn2);
  layout->addLayout(buttons);
  ui::NameSettingsControls(this);

  FormCreate();
}

TSettForm::~TSettForm() = default;

void TSettForm::FormCreate() {
  ui::SettingsStore store;
  CheckHint->setChecked(store.read(ui::settings::SetHint));
  CheckCall->setChecked(store.read(ui::settings::SetCzaczyTop));
  CheckBoxDiag->setChecked(store.read(ui::settings::SetDiagWinTop));
  CheckVenVan->setChecked(store.read(ui::settings::SetVenvanTop));
  CheckUsin->setChecked(store.read(ui::settings::SetUsinWinTop));
  CheckStvoly->setChecked(store.read(ui::settings::SetLegendaTop));
  CheckReading->setChecked(store.read(ui::settings::SetReadingTop));
}

void TSettForm::showEvent(QShowEvent* event) {
  FormShow();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    adjustSize();
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
  }
  QDialog::showEvent(event);
}

void TSettForm::FormShow() {
  Select(ComboBoxLetnee, main_->timeCorrectionIndex());
  Select(GMTCombo, main_->timeZoneIndex());
  BoundaryMinutes->setValue(main_->boundaryMinutes());
}

void TSettForm::BitBtn1Click() {
  // Hints first.
  main_->SetHintsShown(CheckHint->isChecked());
  // Then which windows stay on top.
  ApplyStayOnTop();
  // The two time settings; typed zone text that is no entry: -1.
  const int correctionIndex = ComboBoxLetnee->currentIndex();
  const int zoneIndex =
      GMTCombo->findText(GMTCombo->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
  emit timeSettingsChanged(calendar::TimeSettings::FromIndexes(correctionIndex, zoneIndex));
  main_->SetBoundaryMinutes(BoundaryMinutes->value());
  // The store keeps the list positions.
  {
    ui::SettingsStore store;
    store.write(ui::settings::CalendarLetneeTime, correctionIndex);
    store.write(ui::settings::CalendarGMT, zoneIndex);
    store.write(ui::settings::SetBoundaryMinutes, BoundaryMinutes->value());
    store.write(ui::settings::SetHint, CheckHint->isChecked());
    store.write(ui::settings::SetCzaczyTop, CheckCall->isChecked());
    store.write(ui::settings::SetDiagWinTop, CheckBoxDiag->isChecked());
    store.write(ui::settings::SetVenvanTop, CheckVenVan->isChecked());
    store.write(ui::settings::SetUsinWinTop, CheckUsin->isChecked());
    store.write(ui::settings::SetLegendaTop, CheckStvoly->isChecked());
    store.write(ui::settings::SetReadingTop, CheckReading->isChecked());
  }
  // The dialog closes at the end, also when a step below ends with an error (the
  // settings are stored by then).
  struct CloseAtEnd {
    QDialog* dialog;
    ~CloseAtEnd() { dialog->accept(); }
  } closeAtEnd{this};
  // The status text of the main window.
  main_->StatusBarIni();
  // The calendar window counts with the new settings.
  RecomputeCalendar();
  // The date lists anew, unless a hexagram is shown.
  if (!main_->PrimaryFigureShown()) main_->SetLunarDate(ui::DayValueOf(ui::platform().now()));
}

void TSettForm::ApplyStayOnTop() {
  // Each box with its window.
  const std::pair<QCheckBox*, ui::TToolWindow*> boxes[] = {
      {CheckCall, windows_.calendar}, {CheckBoxDiag, windows_.diagramm}, {CheckVenVan, windows_.venvan},
      {CheckUsin, windows_.usin},     {CheckStvoly, windows_.legenda},   {CheckReading, windows_.reading}};
  for (const auto& [box, window] : boxes)
    if (window) window->SetStaysOnTop(box->isChecked());
}

void TSettForm::RecomputeCalendar() {
  if (windows_.calendar) windows_.calendar->DateTimePicker1Change();
}
