#include "ui/coins.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/Accessibility.h"
#include "ui/Application.h"

namespace {

const char* const ValueNames[4] = {"6 — старая инь, меняется", "7 — молодой ян", "8 — молодая инь",
                                   "9 — старый ян, меняется"};

}  // namespace

TFormCoins::TFormCoins(core::CoinSource coins, CastFunction cast, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      coins_(std::move(coins)),
      cast_(std::move(cast)) {
  setObjectName(QStringLiteral("FormCoins"));
  setWindowTitle(QStringLiteral("Три монеты"));
  setMinimumWidth(420);
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(QStringLiteral("Шесть бросков трёх монет, по одному на черту, снизу вверх. "
                                          "Орёл (О) — 3, решка (Р) — 2."),
                           this);
  intro->setWordWrap(true);
  layout->addWidget(intro);
  auto* grid = new QGridLayout;
  for (int line = 6; line >= 1; --line) {
    auto* caption = new QLabel(QStringLiteral("Черта %1:").arg(line), this);
    auto* label = new QLabel(QStringLiteral("—"), this);
    label->setObjectName(QStringLiteral("LineLabel%1").arg(line));
    label->setAccessibleName(QStringLiteral("Черта %1").arg(line));
    LineLabels[std::size_t(line - 1)] = label;
    grid->addWidget(caption, 6 - line, 0);
    grid->addWidget(label, 6 - line, 1);
  }
  grid->setColumnStretch(1, 1);
  layout->addLayout(grid);
  auto* buttons = new QHBoxLayout;
  ThrowButton = new QPushButton(QStringLiteral("&Бросить"), this);
  ThrowButton->setObjectName(QStringLiteral("ThrowButton"));
  ThrowButton->setToolTip(QStringLiteral("Бросить три монеты для следующей черты"));
  ThrowButton->setDefault(true);
  OkButton = new QPushButton(QStringLiteral("Получить гуа"), this);
  OkButton->setObjectName(QStringLiteral("OkButton"));
  OkButton->setEnabled(false);
  CancelButton = new QPushButton(QStringLiteral("Отмена"), this);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  buttons->addWidget(ThrowButton);
  buttons->addStretch(1);
  buttons->addWidget(OkButton);
  buttons->addWidget(CancelButton);
  layout->addLayout(buttons);
  connect(ThrowButton, &QPushButton::clicked, this, ui::Command(this, &TFormCoins::ThrowButtonClick));
  connect(OkButton, &QPushButton::clicked, this, ui::Command(this, &TFormCoins::OkButtonClick));
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormCoins::ThrowButtonClick() {
  if (throws_.size() >= 6) return;
  const core::CoinThrow t = core::ThrowCoins(coins_);
  throws_.push_back(t);
  const int line = int(throws_.size());
  const QString text =
      QString::fromStdString(t.text()) + QStringLiteral("   ") + QString::fromUtf8(ValueNames[t.value() - 6]);
  LineLabels[std::size_t(line - 1)]->setText(text);
  ui::Announce(this, QStringLiteral("Черта %1: %2").arg(line).arg(text));
  if (throws_.size() == 6) {
    ThrowButton->setEnabled(false);
    OkButton->setEnabled(true);
    OkButton->setDefault(true);
    OkButton->setFocus();
  }
}

void TFormCoins::OkButtonClick() {
  if (throws_.size() != 6) return;
  std::array<std::string, 6> codes;
  for (std::size_t i = 0; i < 6; ++i) codes[i] = std::string(throws_[i].code());
  accept();
  if (cast_) cast_(codes);
}
