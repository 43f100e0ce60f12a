#include "ui/Accessibility.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
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

// A window or panel whose hidden controls are not read: a screen reader
// lists only the children the user can see (a hidden number label would
// read "0", the hidden sign pictures of the calendar are only its store).
class ShownChildren : public QAccessibleWidget {
 public:
  ShownChildren(QWidget* widget, QAccessible::Role role, QStringList left = {})
      : QAccessibleWidget(widget, role), left_(std::move(left)) {}

  int childCount() const override { return int(Shown().size()); }
  QAccessibleInterface* child(int index) const override {
    const QList<QWidget*> shown = Shown();
    if (index < 0 || index >= shown.size()) return nullptr;
    return QAccessible::queryAccessibleInterface(shown[index]);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (!child) return -1;
    return int(Shown().indexOf(qobject_cast<QWidget*>(child->object())));
  }

 private:
  QList<QWidget*> Shown() const {
    QList<QWidget*> shown;
    for (QObject* o : widget()->children()) {
      auto* w = qobject_cast<QWidget*>(o);
      if (w && !w->isWindow() && !w->isHidden() && !left_.contains(w->objectName())) shown << w;
    }
    return shown;
  }

  QStringList left_;
};

// One pillar of the calendar as one picture: the stem picture reads the
// pillar's caption and both signs («Год: Бин У»); the branch picture beside
// it and the caption before it are left out of the tree. Each picture keeps its own sign as its name.
class PillarPicture : public QAccessibleWidget {
 public:
  PillarPicture(QWidget* stem, QLabel* caption, QWidget* branch)
      : QAccessibleWidget(stem, QAccessible::Graphic), caption_(caption), branch_(branch) {}

  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name) return QAccessibleWidget::text(t);
    QStringList parts;
    if (caption_) parts << caption_->text();
    parts << widget()->accessibleName();
    if (branch_) parts << branch_->accessibleName();
    return parts.join(QLatin1Char(' '));
  }

 private:
  QPointer<QLabel> caption_;
  QPointer<QWidget> branch_;
};

// The pillars of the calendar: stem picture, caption, branch picture.
const char* const Pillars[4][3] = {{"StvolYahr", "Label6", "VetvYahr"},
                                   {"StvolMonth", "Label5", "VetvMonth"},
                                   {"StvolDay", "Label1", "VetvDay"},
                                   {"StvolChas", "Label3", "VetvChas"}};

// The pillar whose stem picture widget is, or -1.
int PillarOf(const QWidget* widget) {
  const QWidget* window = widget->window();
  if (!window || window == widget || window->objectName() != QLatin1String("FormCzaczy")) return -1;
  for (int i = 0; i < 4; ++i)
    if (widget->objectName() == QLatin1String(Pillars[i][0])) return i;
  return -1;
}

bool OwnInterface(const QWidget* widget) {
  return widget->objectName() == QLatin1String("Panel1") ||
         widget->objectName() == QLatin1String("FormCzaczy") ||
         widget->objectName() == QLatin1String("FormJournal") ||
         widget->objectName() == QLatin1String("FormReading") || PillarOf(widget) >= 0;
}

QAccessibleInterface* Interfaces(const QString& /*className*/, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (!widget || !OwnInterface(widget)) return nullptr;
  if (widget->objectName() == QLatin1String("Panel1")) return new ShownChildren(widget, QAccessible::Pane);
  if (widget->objectName() == QLatin1String("FormJournal") ||
      widget->objectName() == QLatin1String("FormReading"))
    return new ShownChildren(widget, QAccessible::Window);
  if (widget->objectName() == QLatin1String("FormCzaczy")) {
    // The captions and branch pictures are read with their stem picture.
    QStringList left;
    for (const auto& pillar : Pillars) left << QLatin1String(pillar[1]) << QLatin1String(pillar[2]);
    return new ShownChildren(widget, QAccessible::Window, left);
  }
  QWidget* window = widget->window();
  const int i = PillarOf(widget);
  return new PillarPicture(widget, Child<QLabel>(window, QLatin1String(Pillars[i][1])),
                           Child<QWidget>(window, QLatin1String(Pillars[i][2])));
}

// The interfaces above replace Qt's own for the widgets they name; one made
// before (an event sent while the widget was being built) is made anew.
void UseOwnInterfaces(QWidget* window) {
  static const bool installed = [] {
    QAccessible::installFactory(&Interfaces);
    return true;
  }();
  (void)installed;
  QList<QWidget*> widgets = window->findChildren<QWidget*>();
  widgets.prepend(window);
  for (QWidget* w : widgets) {
    if (!OwnInterface(w)) continue;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    if (iface && !dynamic_cast<ShownChildren*>(iface) && !dynamic_cast<PillarPicture*>(iface))
      QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
  }
}

}  // namespace

void NameCalendarWindowControls(QWidget* window) {
  UseOwnInterfaces(window);
}

void NameReadingWindowControls(QWidget* window) {
  UseOwnInterfaces(window);
}

void NameJournalControls(QWidget* window) {
  UseOwnInterfaces(window);
  // The fields are named by the caption before them.
  const std::pair<const char*, const char*> fields[] = {
      {"FolderEdit", "Папка с записями"}, {"SearchEdit", "Найти"},        {"HexagramBox", "Гуа"},
      {"FromDate", "Гадания не раньше"},  {"ToDate", "Гадания не позже"}, {"Table", "Записи"}};
  for (const auto& [name, caption] : fields)
    if (auto* w = Child<QWidget>(window, QLatin1String(name)))
      w->setAccessibleName(QString::fromUtf8(caption));
  if (auto* search = Child<QLineEdit>(window, QStringLiteral("SearchEdit"))) {
    search->setAccessibleDescription(search->placeholderText());
    for (auto* clear : search->findChildren<QAbstractButton*>())
      clear->setAccessibleName(QStringLiteral("Очистить поиск"));
  }
}

void NameSettingsControls(QWidget* dialog) {
  // The lists by their caption; the time zone's field as its list.
  const std::pair<const char*, const char*> lists[] = {{"ComboBoxLetnee", "Label1"}, {"GMTCombo", "Label2"}};
  for (const auto& [name, caption] : lists) {
    auto* list = Child<QComboBox>(dialog, QLatin1String(name));
    auto* label = Child<QLabel>(dialog, QLatin1String(caption));
    if (!list || !label) continue;
    list->setAccessibleName(label->text());
    if (list->lineEdit()) list->lineEdit()->setAccessibleName(label->text());
  }
  if (auto* minutes = Child<QWidget>(dialog, QStringLiteral("BoundaryMinutes")))
    if (auto* label = Child<QLabel>(dialog, QStringLiteral("Label4")))
      minutes->setAccessibleName(label->text());
  // The windows kept on top: each box says so.
  if (auto* above = Child<QLabel>(dialog, QStringLiteral("Label3")))
    for (const char* name :
         {"CheckCall", "CheckVenVan", "CheckBoxDiag", "CheckUsin", "CheckStvoly", "CheckReading"})
      if (auto* box = Child<QWidget>(dialog, QLatin1String(name)))
        box->setAccessibleDescription(above->text());
}

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
  UseOwnInterfaces(window);
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
    const int n = core::CalcNoGua(model.figure(core::FigureIndex(i)));
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
