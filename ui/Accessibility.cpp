#include "ui/Accessibility.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QStringList>
#include <QWidget>
#include <algorithm>

#include "core/hexnames.h"
#include "ui/ClickLabel.h"
#include "ui/GuaBig.h"

namespace ui {

namespace {

QString Utf8(std::string_view s) {
  return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

const char* const FigureKinds[3] = {"Основное гуа", "Ядерное гуа", "Изменённое гуа"};

// The line fields by their line, bottom first.
const char* const LineFieldNames[6] = {"Числа первой черты",    "Числа второй черты", "Числа третьей черты",
                                       "Числа четвёртой черты", "Числа пятой черты",  "Числа шестой черты"};

QString LineList(const std::vector<int>& lines) {
  QStringList parts;
  for (int n : lines) parts << QString::number(n);
  if (parts.size() < 2) return parts.join(QString());
  const QString last = parts.takeLast();
  return parts.join(QStringLiteral(", ")) + QStringLiteral(" и ") + last;
}

// The six lines one by one, bottom to top.
QString LinesDescription(const TGuaBig& figure, const std::vector<int>& changing) {
  QStringList parts;
  for (int n = 1; n <= 6; ++n) {
    QString part =
        QStringLiteral("%1: %2").arg(n).arg(figure.line(n) ? QStringLiteral("ян") : QStringLiteral("инь"));
    if (std::find(changing.begin(), changing.end(), n) != changing.end())
      part += QStringLiteral(", меняется");
    parts << part;
  }
  return QStringLiteral("Черты снизу вверх: ") + parts.join(QStringLiteral("; "));
}

template <class T>
T* Child(QWidget* window, const QString& name) {
  return window->findChild<T*>(name);
}

}  // namespace

QString FigureName(int figure, int number, const std::vector<int>& changingLines) {
  if (figure < 0 || figure > 2 || number < 1 || number > 64) return {};
  QString text = QStringLiteral("%1 %2 «%3»")
                     .arg(QString::fromUtf8(FigureKinds[figure]))
                     .arg(number)
                     .arg(Utf8(core::NameOfHexagram(number).name));
  if (changingLines.size() == 1)
    text += QStringLiteral(", меняется черта ") + LineList(changingLines);
  else if (!changingLines.empty())
    text += QStringLiteral(", меняются черты ") + LineList(changingLines);
  return text;
}

QString CastResultText(const core::Divination& model) {
  const std::optional<core::Numbers> numbers = model.numbers();
  if (!numbers) return {};
  const std::vector<int> changing = model.ChangingLines();
  return FigureName(core::Primary, numbers->primary, changing) + QStringLiteral("; ") +
         FigureName(core::Nuclear, numbers->nuclear, {}) + QStringLiteral("; ") +
         FigureName(core::Changed, numbers->changed, {});
}

void NameMainWindowControls(QWidget* window) {
  // Tool buttons: their hint is what they do.
  const char* const buttons[] = {"ClearBtn",    "ToolButton8", "ToolButton9",  "ToolButton1", "ToolButton4",
                                 "ToolButton5", "ToolButton6", "ToolButton10", "ToolButton2"};
  for (const char* name : buttons) {
    if (auto* b = Child<QAbstractButton>(window, QLatin1String(name))) {
      b->setAccessibleName(b->toolTip());
      b->setFocusPolicy(Qt::TabFocus);
    }
  }
  if (auto* b = Child<QAbstractButton>(window, QStringLiteral("Button1"))) b->setAccessibleName(b->toolTip());
  if (auto* site = Child<QLabel>(window, QStringLiteral("Panel9"))) {
    site->setAccessibleName(QStringLiteral("Сайт: ") + site->toolTip());
    site->setFocusPolicy(Qt::TabFocus);
  }
  for (int n = 1; n <= 6; ++n) {
    auto* field = Child<QLineEdit>(window, QStringLiteral("Edit%1").arg(n));
    if (!field) continue;
    field->setAccessibleDescription(field->toolTip());
    field->setAccessibleName(QString::fromUtf8(LineFieldNames[n - 1]));
    if (auto* label = Child<QLabel>(window, QStringLiteral("Jao%1").arg(n))) label->setBuddy(field);
  }
  if (auto* note = Child<QLineEdit>(window, QStringLiteral("Edit7")))
    note->setAccessibleName(note->toolTip());
  if (auto* memo = Child<QWidget>(window, QStringLiteral("CommentsMemo")))
    memo->setAccessibleName(memo->toolTip());
  const std::pair<const char*, const char*> lists[] = {
      {"GodCombo", "Год"}, {"Mes", "Месяц"}, {"Day", "День"}, {"Chas", "Час"}};
  for (const auto& [name, caption] : lists)
    if (auto* list = Child<QWidget>(window, QLatin1String(name))) {
      list->setAccessibleName(QString::fromUtf8(caption));
      list->setAccessibleDescription(list->toolTip());
    }
  if (auto* status = Child<QLabel>(window, QStringLiteral("StatusPanel")))
    status->setAccessibleName(QStringLiteral("Строка состояния"));

  // The figures: in the reading order after ">>", each opening its page on
  // Enter by the path of its number label.
  QWidget* previous = Child<QWidget>(window, QStringLiteral("Button1"));
  for (int i = 1; i <= 3; ++i) {
    auto* figure = Child<TGuaBig>(window, QStringLiteral("GuaBig%1").arg(i));
    auto* number = Child<TClickLabel>(window, QStringLiteral("Label%1").arg(i));
    if (!figure) continue;
    figure->setFocusPolicy(Qt::StrongFocus);
    figure->setMarksShown(true);
    if (number) QObject::connect(figure, &TGuaBig::activated, number, &TClickLabel::clicked);
    if (previous) QWidget::setTabOrder(previous, figure);
    previous = figure;
  }
  if (auto* note = Child<QWidget>(window, QStringLiteral("Edit7"))) {
    if (previous) QWidget::setTabOrder(previous, note);
    if (auto* memo = Child<QWidget>(window, QStringLiteral("CommentsMemo"))) QWidget::setTabOrder(note, memo);
  }
}

void DescribeFigures(QWidget* window, const core::Divination& model) {
  const std::optional<core::Numbers> numbers = model.numbers();
  const int values[3] = {numbers ? numbers->primary : 0, numbers ? numbers->nuclear : 0,
                         numbers ? numbers->changed : 0};
  const std::vector<int> changing = model.ChangingLines();
  for (int i = 0; i < 3; ++i) {
    auto* figure = Child<TGuaBig>(window, QStringLiteral("GuaBig%1").arg(i + 1));
    auto* number = Child<QLabel>(window, QStringLiteral("Label%1").arg(i + 1));
    const std::vector<int> lines = i == core::Primary ? changing : std::vector<int>{};
    const int n = model.figure(core::FigureIndex(i)).number();
    if (figure) {
      figure->setChangingLines(lines);
      const QString name = FigureName(i, n, lines);
      if (figure->accessibleName() != name) figure->setAccessibleName(name);
      figure->setAccessibleDescription(LinesDescription(*figure, lines));
    }
    if (number) {
      const QString name =
          values[i] ? QStringLiteral("Комментарии: ") + FigureName(i, values[i], {}) : QString();
      if (number->accessibleName() != name) number->setAccessibleName(name);
    }
  }
}

void Announce(QWidget* source, const QString& text) {
  if (text.isEmpty()) return;
  // Without a source (an error met while no window was active, as just
  // after a dialog closed) the program's main window speaks.
  if (!source) source = QApplication::activeWindow();
  if (!source)
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<QMainWindow*>(w) && w->isVisible()) source = w;
  if (!source) return;
  QWidget* window = source->window();
  auto* live = window->findChild<QLabel*>(QStringLiteral("AnnouncementLabel"));
  if (!live) {
    // A label of no size: the screen reader's live region, never seen.
    live = new QLabel(window);
    live->setObjectName(QStringLiteral("AnnouncementLabel"));
    live->setFixedSize(1, 1);
    live->move(0, 0);
    live->show();
  }
  live->setText(text);
  live->setAccessibleName(text);
  if (!QAccessible::isActive()) return;
  QAccessibleEvent changed(live, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&changed);
  QAccessibleEvent alert(live, QAccessible::Alert);
  QAccessible::updateAccessibility(&alert);
}

}  // namespace ui
