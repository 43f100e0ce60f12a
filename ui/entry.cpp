#include "ui/entry.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/hexagram.h"
#include "core/hexnames.h"
#include "ui/Application.h"

namespace {

const char* const LineNames[6] = {"1", "2", "3", "4", "5", "6"};

}  // namespace

TFormEntry::TFormEntry(CastFunction cast, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), cast_(std::move(cast)) {
  setObjectName(QStringLiteral("FormEntry"));
  setWindowTitle(QStringLiteral("Готовое гадание"));
  setModal(true);
  auto named = [](auto* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
  };
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(
      QStringLiteral("Гадание, сделанное без компьютера (монетами, стеблями): впишите значения черт "
                     "или номер гуа с меняющимися чертами."),
      this);
  intro->setWordWrap(true);
  layout->addWidget(intro);

  ByValues =
      named(new QRadioButton(QStringLiteral("&Значения черт снизу вверх (6, 7, 8, 9):"), this), "ByValues");
  ValuesEdit = named(new QLineEdit(this), "ValuesEdit");
  ValuesEdit->setPlaceholderText(QStringLiteral("например 789698"));
  ValuesEdit->setAccessibleName(QStringLiteral("Значения черт снизу вверх"));
  ValuesEdit->setToolTip(
      QStringLiteral("6 — старая инь (меняется), 7 — молодой ян, 8 — молодая инь, "
                     "9 — старый ян (меняется); первая цифра — нижняя черта"));
  ValuesEdit->setMaxLength(32);
  layout->addWidget(ByValues);
  layout->addWidget(ValuesEdit);

  ByHexagram = named(new QRadioButton(QStringLiteral("&Номер гуа и меняющиеся черты:"), this), "ByHexagram");
  layout->addWidget(ByHexagram);
  auto* hexRow = new QHBoxLayout;
  HexagramBox = named(new QSpinBox(this), "HexagramBox");
  HexagramBox->setRange(1, 64);
  HexagramBox->setAccessibleName(QStringLiteral("Номер гуа"));
  hexRow->addWidget(HexagramBox);
  for (int n = 0; n < 6; ++n) {
    LineBoxes[std::size_t(n)] = new QCheckBox(QString::fromLatin1(LineNames[n]), this);
    LineBoxes[std::size_t(n)]->setObjectName(QStringLiteral("LineBox%1").arg(n + 1));
    LineBoxes[std::size_t(n)]->setAccessibleName(QStringLiteral("Меняется черта %1").arg(n + 1));
    hexRow->addWidget(LineBoxes[std::size_t(n)]);
  }
  hexRow->addStretch(1);
  layout->addLayout(hexRow);

  ResultLabel = named(new QLabel(this), "ResultLabel");
  ResultLabel->setWordWrap(true);
  ResultLabel->setMinimumHeight(ResultLabel->fontMetrics().height() * 2);
  layout->addWidget(ResultLabel);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  OkButton = named(new QPushButton(QStringLiteral("Получить гуа"), this), "OkButton");
  OkButton->setDefault(true);
  CancelButton = named(new QPushButton(QStringLiteral("Отмена"), this), "CancelButton");
  buttons->addWidget(OkButton);
  buttons->addWidget(CancelButton);
  layout->addLayout(buttons);

  ByValues->setChecked(true);
  connect(ByValues, &QRadioButton::toggled, this, [this] { EntryChange(); });
  connect(ValuesEdit, &QLineEdit::textChanged, this, [this] {
    if (!ValuesEdit->text().isEmpty()) ByValues->setChecked(true);
    EntryChange();
  });
  connect(HexagramBox, &QSpinBox::valueChanged, this, [this] {
    ByHexagram->setChecked(true);
    EntryChange();
  });
  for (QCheckBox* box : LineBoxes)
    connect(box, &QCheckBox::toggled, this, [this] {
      ByHexagram->setChecked(true);
      EntryChange();
    });
  connect(OkButton, &QPushButton::clicked, this, ui::Command(this, &TFormEntry::OkButtonClick));
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  EntryChange();
}

core::EnteredCodes TFormEntry::Entry() const {
  if (ByValues->isChecked()) return core::CodesOfLineValues(ValuesEdit->text().toStdString());
  std::vector<int> changing;
  for (int n = 0; n < 6; ++n)
    if (LineBoxes[std::size_t(n)]->isChecked()) changing.push_back(n + 1);
  return core::CodesOfHexagram(HexagramBox->value(), changing);
}

void TFormEntry::EntryChange() {
  const core::EnteredCodes e = Entry();
  const bool empty = ByValues->isChecked() && ValuesEdit->text().trimmed().isEmpty();
  OkButton->setEnabled(e.ok());
  if (empty) {
    ResultLabel->setText(QString());
    return;
  }
  if (!e.ok()) {
    ResultLabel->setText(QString::fromStdString(e.error));
    return;
  }
  const core::CodesCasting c =
      core::CastFromCodes({e.codes[0], e.codes[1], e.codes[2], e.codes[3], e.codes[4], e.codes[5]});
  QString text = QStringLiteral("Гуа %1 «%2»")
                     .arg(c.primaryNo)
                     .arg(QString::fromUtf8(core::NameOfHexagram(c.primaryNo).name));
  if (c.changedNo != c.primaryNo)
    text += QStringLiteral(" → %1 «%2»")
                .arg(c.changedNo)
                .arg(QString::fromUtf8(core::NameOfHexagram(c.changedNo).name));
  QStringList codes;
  for (const std::string& code : e.codes) codes << QString::fromStdString(code);
  ResultLabel->setText(text + QStringLiteral("; числа черт: ") + codes.join(QLatin1Char(' ')));
}

void TFormEntry::OkButtonClick() {
  const core::EnteredCodes e = Entry();
  if (!e.ok()) return;  // nothing changes on a bad entry
  accept();
  if (cast_) cast_(e.codes);
}

void TFormEntry::showEvent(QShowEvent* event) {
  ValuesEdit->setFocus(Qt::OtherFocusReason);
  ValuesEdit->selectAll();
  QDialog::showEvent(event);
}
