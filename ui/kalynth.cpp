#include "ui/kalynth.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPaintEngine>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProxyStyle>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QValidator>
#include <memory>
#include <stdexcept>

#include "calendar/double_hours.h"
#include "core/core.h"
#include "core/hexnames.h"
#include "records/inifile.h"
#include "records/mapping.h"
#include "settings/SettingsStore.h"
#include "sheet/sheet.h"
#include "ui/Accessibility.h"
#include "ui/Application.h"
#include "ui/ClickLabel.h"
#include "ui/GuaBig.h"
#include "ui/LunarLists.h"
#include "ui/Placement.h"
#include "ui/Platform.h"
#include "ui/ToolWindow.h"
#include "ui/coins.h"
#include "ui/czaczy.h"
#include "ui/entry.h"
#include "ui/journal.h"

namespace {

const QString Title = QStringLiteral("KALYNTH");
const QString RecordFilter = QStringLiteral("Kalynth files (*.kly)");
const QString AbortPromptText = QStringLiteral("Прервать гадание?");
const char* const NothingToPrintText = "Печатать нечего: сначала получите гуа.";
// The date strip before the first date casting.
const char* const NoCastDateText = "Не установлено";

// Delphi-compatible colours of the display panel.
const QColor Cream(255, 251, 240);
const QColor InactiveCaption(128, 128, 128);

QString FileNameOf(const QString& path) {
  return QFileInfo(path).fileName();
}

QString FolderOf(const QString& path) {
  return path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
}

// The folder holding comment/, help/ and bmp/: beside the program (build
// tree, portable copy) or the installed data folder.
QString FindProgramFolder() {
  const QString exeDir = QDir::cleanPath(QCoreApplication::applicationDirPath());
  if (QDir(exeDir).exists(QStringLiteral("comment"))) return exeDir;
  const QString shared = QDir::cleanPath(exeDir + QStringLiteral("/../share/kalynth"));
  if (QDir(shared).exists(QStringLiteral("comment"))) return shared;
  return exeDir;
}

// Line fields take at most three typed characters; longer text put in by
// the program (a record file) stays whole and may be shortened by the user.
class TypedLengthValidator : public QValidator {
 public:
  TypedLengthValidator(QLineEdit* field, int maxTyped) : QValidator(field), maxTyped_(maxTyped) {
    connect(field, &QLineEdit::textChanged, this, [this](const QString& t) { previousLength_ = t.size(); });
  }
  State validate(QString& input, int&) const override {
    return input.size() > maxTyped_ && input.size() > previousLength_ ? Invalid : Acceptable;
  }

 private:
  int maxTyped_;
  int previousLength_ = 0;
};

// The red dotted vertical line between two figures.
class DottedSeparator : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    for (int y = 0; y < height(); y += 2) p.fillRect(0, y, 1, 1, Qt::red);
  }
};

// Hints on or off for the whole program: swallows tool-tip requests of
// every widget while hints are off.
class HintSwitch : public QObject {
 public:
  HintSwitch(const bool* shown, QObject* parent) : QObject(parent), shown_(shown) {}
  bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::ToolTip && !*shown_; }

 private:
  const bool* shown_;
};

// Menus open with their Alt letters (Alt+Ф: "Файл") and items are chosen
// by their letters, but the letters are not underlined: the captions look
// exactly as written.
class HiddenMnemonicStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_UnderlineShortcut) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

QIcon ToolIcon(int index) {
  return QIcon(QStringLiteral(":/icons/tool%1.png").arg(index));
}
QIcon ChasIcon(int index) {
  return QIcon(QStringLiteral(":/icons/chas%1.png").arg(index));
}

}  // namespace

// The pictures live in a static library: pull its resources in explicitly.
static void InitResources() {
  Q_INIT_RESOURCE(kalynth);
}

bool HasRecordExtension(const QString& path) {
  return records::IsRecordFileName(path);
}

// ---------------------------------------------------------------------------
// Creation

TFormKalynth::TFormKalynth(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint) {
  InitResources();
  setObjectName(QStringLiteral("FormKalynth"));
  setWindowTitle(Title);
  CreateControls();
  ui::NameMainWindowControls(this);
  FormCreate(arguments);
}

TFormKalynth::~TFormKalynth() {
  // FormDestroy: no more file drops.
  setAcceptDrops(false);
}

QLineEdit* TFormKalynth::LineEdit(int n) const {
  switch (n) {
    case 1:
      return Edit1;
    case 2:
      return Edit2;
    case 3:
      return Edit3;
    case 4:
      return Edit4;
    case 5:
      return Edit5;
    case 6:
      return Edit6;
    default:
      return nullptr;
  }
}

void TFormKalynth::CreateControls() {
  // Fixed pixel font sizes keep every control inside the 479-pixel width
  // whatever the desktop's font scaling.
  QFont baseFont = font();
  baseFont.setPixelSize(12);
  setFont(baseFont);

  auto named = [](auto* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
  };

  // --- main menu ------------------------------------------------------------
  FileMenu = named(menuBar()->addMenu(QStringLiteral("&Файл")), "FileMenu");
  New1 = named(FileMenu->addAction(QStringLiteral("&Новый лист")), "New1");
  New1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  Entry1 = named(FileMenu->addAction(QStringLiteral("Готовое &гадание...")), "Entry1");
  Entry1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  Entry1->setToolTip(QStringLiteral("Ввести гадание, сделанное без компьютера: значения черт или номер гуа"));
  Coins1 = named(FileMenu->addAction(QStringLiteral("Три &монеты...")), "Coins1");
  Coins1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
  Coins1->setToolTip(QStringLiteral("Гадание тремя монетами: шесть бросков, по одному на черту"));
  Open1 = named(FileMenu->addAction(QStringLiteral("&Открыть...")), "Open1");
  Open1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  Journal1 = named(FileMenu->addAction(QStringLiteral("&Журнал...")), "Journal1");
  Journal1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
  FileMenu->addSeparator();
  Save1 = named(FileMenu->addAction(QStringLiteral("&Сохранить")), "Save1");
  Save1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  Saveas1 = named(FileMenu->addAction(QStringLiteral("Сохранить &как...")), "Saveas1");
  Saveas1->setShortcut(QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_S));
  FileMenu->addSeparator();
  Print1 = named(FileMenu->addAction(QStringLiteral("&Печать...")), "Print1");
  Print1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  PdfExport1 = named(FileMenu->addAction(QStringLiteral("&Экспорт в PDF...")), "PdfExport1");
  FileMenu->addSeparator();
  Exit1 = named(FileMenu->addAction(QStringLiteral("&Выход")), "Exit1");
  Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));

  OtherMenu = named(menuBar()->addMenu(QStringLiteral("&Прочее")), "OtherMenu");
  Chza1 = named(OtherMenu->addAction(QStringLiteral("&Календарь")), "Chza1");
  VenVan = named(OtherMenu->addAction(QStringLiteral("Диаграмма &Вень-вана")), "VenVan");
  Table1 = named(OtherMenu->addAction(QStringLiteral("&Диаграмма «Стволы-ветви»")), "Table1");
  DiagUsin = named(OtherMenu->addAction(QStringLiteral("Диаграмма «У-си&н»")), "DiagUsin");
  StvilyVetvi = named(OtherMenu->addAction(QStringLiteral("&Стволы-ветви")), "StvilyVetvi");
  Reading1 = named(OtherMenu->addAction(QStringLiteral("&Толкование")), "Reading1");
  Reading1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
  for (QAction* a : {Chza1, VenVan, Table1, DiagUsin, StvilyVetvi, Reading1}) a->setCheckable(true);
  OtherMenu->addSeparator();
  N6 = named(OtherMenu->addAction(QStringLiteral("&Установки...")), "N6");

  HelpMenu = named(menuBar()->addMenu(QStringLiteral("&Справка")), "HelpMenu");
  N8 = named(HelpMenu->addAction(QStringLiteral("&Вызов справки")), "N8");
  N8->setShortcut(QKeySequence(Qt::Key_F1));
  HelpMenu->addSeparator();
  N3 = named(HelpMenu->addAction(QStringLiteral("&О программе")), "N3");
  {
    auto* style = new HiddenMnemonicStyle;
    style->setParent(this);
    for (QWidget* m : std::initializer_list<QWidget*>{menuBar(), FileMenu, OtherMenu, HelpMenu})
      m->setStyle(style);
  }

  // F10 opens the first menu, in every keyboard layout. The menus' Alt
  // letters are Cyrillic; in a Latin layout the same keys (Ф = A, П = G,
  // С = C on the Russian layout) open them too.
  {
    const std::pair<QKeySequence, QMenu*> keys[] = {{QKeySequence(Qt::Key_F10), FileMenu},
                                                    {QKeySequence(Qt::ALT | Qt::Key_A), FileMenu},
                                                    {QKeySequence(Qt::ALT | Qt::Key_G), OtherMenu},
                                                    {QKeySequence(Qt::ALT | Qt::Key_C), HelpMenu}};
    for (const auto& [key, menu] : keys) {
      auto* opener = new QAction(this);
      opener->setShortcut(key);
      opener->setShortcutContext(Qt::WindowShortcut);
      addAction(opener);
      connect(opener, &QAction::triggered, this, [this, menu = menu] {
        menuBar()->setFocus(Qt::MenuBarFocusReason);
        menuBar()->setActiveAction(menu->menuAction());
      });
    }
  }
  // The disabled "Печать..." and "Экспорт в PDF..." say why.
  FileMenu->setToolTipsVisible(true);

  connect(New1, &QAction::triggered, this, ui::Command(this, &TFormKalynth::ClearBtnClick));
  connect(Open1, &QAction::triggered, this, ui::Command(this, &TFormKalynth::Open1Click));
  connect(Journal1, &QAction::triggered, this, ui::Command(this, &TFormKalynth::Journal1Click));
  connect(Entry1, &QAction::triggered, this, ui::Command(this, &TFormKalynth::Entry1Click));
  connect(Coins1, &QAction::triggered, this, ui::Command(this, &TFormKalynth::Coins1Click));
  connect(Save1, &QAction::triggered, this, ui::Command(this, &TFormKalynth::Save1Click));
  connect(Saveas1, &QAction::triggered, this, ui::Command(this, &TFormKalynth::Saveas1Click));
  connect(Print1, &QAction::triggered, this, ui::Command(this, &TFormKalynth::Print1Click));
  connect(PdfExport1, &QAction::triggered, this, ui::Command(this, &TFormKalynth::PdfExport1Click));
  connect(Exit1, &QAction::triggered, this, &QWidget::close);
  connect(Chza1, &QAction::triggered, this, ui::Command(this, &TFormKalynth::Chza1Click));
  connect(VenVan, &QAction::triggered, this, ui::Command(this, &TFormKalynth::VenVanClick));
  connect(Table1, &QAction::triggered, this, ui::Command(this, &TFormKalynth::Table1Click));
  connect(DiagUsin, &QAction::triggered, this, ui::Command(this, &TFormKalynth::DiagUsinClick));
  connect(StvilyVetvi, &QAction::triggered, this, ui::Command(this, &TFormKalynth::StvilyVetviClick));
  connect(Reading1, &QAction::triggered, this, ui::Command(this, &TFormKalynth::Reading1Click));
  connect(N6, &QAction::triggered, this, ui::Command(this, &TFormKalynth::N6Click));
  connect(N8, &QAction::triggered, this, ui::Command(this, &TFormKalynth::N8Click));
  connect(N3, &QAction::triggered, this, ui::Command(this, &TFormKalynth::N3Click));

  // --- tool bars: one band each -------------------------------------------
  auto makeBar = [this, &named](const char* name) {
    auto* bar = named(new QToolBar(this), name);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, bar);
    return bar;
  };
  auto makeButton = [this, &named](QToolBar* bar, const char* name, int image, const QString& hint) {
    auto* b = named(new QToolButton(bar), name);
    b->setIcon(ToolIcon(image));
    b->setToolTip(hint);
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    b->setFocusPolicy(Qt::NoFocus);
    bar->addWidget(b);
    return b;
  };

  ToolBar1 = makeBar("ToolBar1");
  ClearBtn = makeButton(ToolBar1, "ClearBtn", 2, QStringLiteral("Новый лист"));
  ToolButton8 = makeButton(ToolBar1, "ToolButton8", 4, QStringLiteral("Открыть файл..."));
  ToolButton9 = makeButton(ToolBar1, "ToolButton9", 5, QStringLiteral("Сохранить файл"));
  ToolBar1->addSeparator();
  ToolButton1 = makeButton(ToolBar1, "ToolButton1", 0, QStringLiteral("Начать гадание с помощью компьютера"));
  ToolButton4 = makeButton(ToolBar1, "ToolButton4", 1, QStringLiteral("Разделить"));
  ToolButton5 = makeButton(ToolBar1, "ToolButton5", 1, QStringLiteral("Разделить"));
  ToolButton6 = makeButton(ToolBar1, "ToolButton6", 1, QStringLiteral("Разделить"));
  for (QToolButton* b : {ToolButton4, ToolButton5, ToolButton6}) b->setEnabled(false);
  ToolBar1->addSeparator();
  ToolButton10 = makeButton(ToolBar1, "ToolButton10", 6, QStringLiteral("Комментарии"));
  Panel9 = named(new TClickLabel(ToolBar1), "Panel9");
  {
    QUrl url(WebSiteUrl);
    Panel9->setText(url.host() + url.path());
    Panel9->setContentsMargins(6, 0, 0, 0);
    QFont f = Panel9->font();
    f.setUnderline(true);
    Panel9->setFont(f);
    QPalette pal = Panel9->palette();
    pal.setColor(QPalette::WindowText, Qt::blue);
    Panel9->setPalette(pal);
    Panel9->setCursor(Qt::PointingHandCursor);
    Panel9->setToolTip(WebSiteUrl);
    ToolBar1->addWidget(Panel9);
  }
  connect(ClearBtn, &QToolButton::clicked, this, ui::Command(this, &TFormKalynth::ClearBtnClick));
  connect(ToolButton8, &QToolButton::clicked, this, ui::Command(this, &TFormKalynth::Open1Click));
  connect(ToolButton9, &QToolButton::clicked, this, ui::Command(this, &TFormKalynth::Save1Click));
  connect(ToolButton1, &QToolButton::clicked, this, ui::Command(this, &TFormKalynth::ToolButton1Click));
  connect(ToolButton4, &QToolButton::clicked, this, ui::Command(this, &TFormKalynth::ToolButton4Click));
  connect(ToolButton5, &QToolButton::clicked, this, ui::Command(this, &TFormKalynth::ToolButton5Click));
  connect(ToolButton6, &QToolButton::clicked, this, ui::Command(this, &TFormKalynth::ToolButton6Click));
  connect(ToolButton10, &QToolButton::clicked, this, ui::Command(this, &TFormKalynth::ToolButton10Click));
  connect(Panel9, &TClickLabel::clicked, this, ui::Command(this, &TFormKalynth::Panel9Click));

  addToolBarBreak(Qt::TopToolBarArea);
  ToolBar2 = makeBar("ToolBar2");
  auto addCaption = [this](const QString& text) {
    auto* l = new QLabel(text, ToolBar2);
    l->setContentsMargins(4, 0, 2, 0);
    ToolBar2->addWidget(l);
    return l;
  };
  auto makeList = [this, &named](const char* name, int count, int width, const QString& hint) {
    auto* c = named(new QComboBox(ToolBar2), name);
    for (int i = 1; i <= count; ++i) c->addItem(QString::number(i));
    c->setFixedWidth(width);
    c->setToolTip(hint);
    c->setFocusPolicy(Qt::StrongFocus);
    // A scrolling list of eight rows instead of the style's menu-like popup,
    // which would ignore the row count.
    c->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    c->setMaxVisibleItems(8);
    ToolBar2->addWidget(c);
    connect(c, &QComboBox::activated, this, ui::Command(this, &TFormKalynth::GodComboChange));
    connect(c, &QComboBox::currentIndexChanged, this, [this] {
      if (!drawing_) model_.SetDate(DateLists());
    });
    return c;
  };
  addCaption(QStringLiteral("Год:"));
  GodCombo = makeList("GodCombo", 12, 42, QStringLiteral("Год лунному календарю"));
  Label6 = named(addCaption(QStringLiteral("Месяц:")), "Label6");
  Mes = makeList("Mes", 12, 42, QStringLiteral("Лунный месяц"));
  addCaption(QStringLiteral("День:"));
  Day = makeList("Day", 30, 42, QStringLiteral("Лунный день"));
  addCaption(QStringLiteral("Час:"));
  Chas = makeList("Chas", 0, 122, QStringLiteral("Двухчасовки"));
  // The captions until SetLunarDate rewrites their hour ranges.
  const std::array<std::string, 12> chasCaptions = calendar::DoubleHourCaptions(timeSettings());
  for (int i = 0; i < 12; ++i) Chas->addItem(ChasIcon(i), QString::fromStdString(chasCaptions[i]));
  Chas->setIconSize(QSize(16, 16));
  Chas->setMaxVisibleItems(8);
  // The dropped-down list is as wide as its longest caption ("Шэнь | 16-18"
  // under a correction), not cut to the list's own width.
  Chas->view()->setMinimumWidth(Chas->view()->sizeHintForColumn(0) +
                                Chas->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8);
  ToolButton2 = makeButton(ToolBar2, "ToolButton2", 3, QStringLiteral("Получить гуа"));
  connect(ToolButton2, &QToolButton::clicked, this, ui::Command(this, &TFormKalynth::ToolButton2Click));

  // --- client area ----------------------------------------------------------
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("ClientArea"));
  setCentralWidget(client);
  client->installEventFilter(this);

  const char* const hints[6] = {"Числа первого яо",    "Числа второго яо", "Числа третьего яо",
                                "Числа четвертого яо", "Числа пятого яо",  "Числа шестого яо"};
  QLabel** jao[6] = {&Jao1, &Jao2, &Jao3, &Jao4, &Jao5, &Jao6};
  QLineEdit** edits[6] = {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6};
  QFont small = baseFont;
  small.setPixelSize(10);
  for (int i = 0; i < 6; ++i) {
    const int n = i + 1;
    auto* label = new QLabel(QString::number(n), client);
    label->setObjectName(QStringLiteral("Jao%1").arg(n));
    label->setFont(small);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, InactiveCaption);
    label->setPalette(pal);
    *jao[i] = label;

    auto* edit = new QLineEdit(client);
    edit->setObjectName(QStringLiteral("Edit%1").arg(n));
    edit->setToolTip(QString::fromUtf8(hints[i]));
    edit->setValidator(new TypedLengthValidator(edit, 3));
    edit->installEventFilter(this);
    *edits[i] = edit;
  }
  connect(Edit1, &QLineEdit::textChanged, this, ui::Command(this, &TFormKalynth::Edit1Change));
  connect(Edit2, &QLineEdit::textChanged, this, ui::Command(this, &TFormKalynth::Edit2Change));
  connect(Edit3, &QLineEdit::textChanged, this, ui::Command(this, &TFormKalynth::Edit3Change));
  connect(Edit4, &QLineEdit::textChanged, this, ui::Command(this, &TFormKalynth::Edit4Change));
  connect(Edit5, &QLineEdit::textChanged, this, ui::Command(this, &TFormKalynth::Edit5Change));
  connect(Edit6, &QLineEdit::textChanged, this, ui::Command(this, &TFormKalynth::Edit6Change));

  Button1 = new QPushButton(QStringLiteral(">>"), client);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setToolTip(QStringLiteral("Получить гуа из чисел"));
  Button1->setEnabled(false);
  Button1->installEventFilter(this);
  connect(Button1, &QPushButton::clicked, this, ui::Command(this, &TFormKalynth::Button1Click));
  setTabOrder(Edit1, Edit2);
  setTabOrder(Edit2, Edit3);
  setTabOrder(Edit3, Edit4);
  setTabOrder(Edit4, Edit5);
  setTabOrder(Edit5, Edit6);
  setTabOrder(Edit6, Button1);

  Panel1 = new QFrame(client);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameShape(QFrame::StyledPanel);
  Panel1->setFrameShadow(QFrame::Sunken);
  Panel1->setAutoFillBackground(true);
  {
    // Its own light ground, so its own dark text under any desktop palette
    // (a dark high-contrast one would write white on cream).
    QPalette pal = Panel1->palette();
    pal.setColor(QPalette::Window, Cream);
    pal.setColor(QPalette::WindowText, Qt::black);
    Panel1->setPalette(pal);
  }
  TGuaBig** figures[3] = {&GuaBig1, &GuaBig2, &GuaBig3};
  TClickLabel** numbers[3] = {&Label1, &Label2, &Label3};
  QFont numberFont = baseFont;
  numberFont.setBold(true);
  numberFont.setUnderline(true);
  numberFont.setPixelSize(13);
  for (int i = 0; i < 3; ++i) {
    auto* g = new TGuaBig(Panel1);
    g->setObjectName(QStringLiteral("GuaBig%1").arg(i + 1));
    g->hide();
    *figures[i] = g;
    auto* l = new TClickLabel(QStringLiteral("0"), Panel1);
    l->setObjectName(QStringLiteral("Label%1").arg(i + 1));
    l->setFont(numberFont);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, Qt::blue);
    l->setPalette(pal);
    l->setAlignment(Qt::AlignCenter);
    l->setCursor(Qt::PointingHandCursor);
    l->setToolTip(QStringLiteral("Комментарии к гуа"));
    l->hide();
    *numbers[i] = l;
  }
  QLabel** names[3] = {&GuaName1, &GuaName2, &GuaName3};
  QFont nameFont = baseFont;
  nameFont.setPixelSize(11);
  for (int i = 0; i < 3; ++i) {
    auto* l = new QLabel(Panel1);
    l->setObjectName(QStringLiteral("GuaName%1").arg(i + 1));
    l->setFont(nameFont);
    l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    l->setWordWrap(true);
    l->hide();
    *names[i] = l;
  }
  connect(Label1, &TClickLabel::clicked, this, ui::Command(this, &TFormKalynth::Label1Click));
  connect(Label2, &TClickLabel::clicked, this, ui::Command(this, &TFormKalynth::Label2Click));
  connect(Label3, &TClickLabel::clicked, this, ui::Command(this, &TFormKalynth::Label3Click));
  Separator1 = new DottedSeparator(Panel1);
  Separator1->setObjectName(QStringLiteral("Separator1"));
  Separator2 = new DottedSeparator(Panel1);
  Separator2->setObjectName(QStringLiteral("Separator2"));

  PanelStatus = new QFrame(Panel1);
  PanelStatus->setObjectName(QStringLiteral("PanelStatus"));
  PanelStatus->setAutoFillBackground(true);
  {
    QPalette pal = PanelStatus->palette();
    pal.setColor(QPalette::Window, Cream);
    PanelStatus->setPalette(pal);
  }
  LabelStatus = new QLabel(QString::fromUtf8(NoCastDateText), PanelStatus);
  LabelStatus->setObjectName(QStringLiteral("LabelStatus"));
  LabelStatus->setToolTip(QStringLiteral("Гуа получены на эту дату"));
  LabelStatus->setAlignment(Qt::AlignCenter);
  // Under the date, when the date cast from lay minutes from a change of
  // the lunar date: what the other side would have given.
  LabelBoundary = new QLabel(PanelStatus);
  LabelBoundary->setObjectName(QStringLiteral("LabelBoundary"));
  LabelBoundary->setAlignment(Qt::AlignCenter);
  {
    QPalette pal = LabelBoundary->palette();
    pal.setColor(QPalette::WindowText, QColor(0x8b, 0, 0));
    LabelBoundary->setPalette(pal);
  }
  LabelBoundary->hide();
  PanelStatus->hide();

  Edit7 = new QLineEdit(client);
  Edit7->setObjectName(QStringLiteral("Edit7"));
  Edit7->setToolTip(QStringLiteral("Краткие комментарии к гуа"));
  Edit7->setPlaceholderText(QStringLiteral("Вопрос или краткая заметка"));
  // What a record gives back of the note: typing and pasting stop there.
  Edit7->setMaxLength(int(records::MaxIniValueLength));
  Edit7->installEventFilter(this);
  connect(Edit7, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!drawing_) model_.EditNote(text.toStdString());
  });

  CommentsMemo = new QPlainTextEdit(client);
  CommentsMemo->setObjectName(QStringLiteral("CommentsMemo"));
  CommentsMemo->setToolTip(QStringLiteral("Комментарии к гуа"));
  CommentsMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // Tab moves on to the next control, as in every other field.
  CommentsMemo->setTabChangesFocus(true);
  CommentsMemo->viewport()->installEventFilter(this);
  connect(CommentsMemo, &QPlainTextEdit::textChanged, this, [this] {
    if (drawing_) return;
    model_.EditComments(CommentsMemo->toPlainText().toStdString());
    drawnComments_ = model_.commentsRevision();  // the box holds them already
  });

  // --- status bar -------------------------------------------------------------
  StatusBar1 = statusBar();
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusPanel = new QLabel(StatusBar1);
  StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
  StatusBar1->addWidget(StatusPanel, 1);
  MomentPanel = new QLabel(StatusBar1);
  MomentPanel->setObjectName(QStringLiteral("MomentPanel"));
  StatusBar1->addPermanentWidget(MomentPanel);

  if (qApp) qApp->installEventFilter(new HintSwitch(&hintsShown_, this));
}

void TFormKalynth::FormCreate(const QStringList& arguments) {
  // The width is fixed; the height opens and closes the comments box.
  setFixedWidth(FormWidth);
  setMinimumHeight(CollapsedHeight);
  // Records can be dropped on the window.
  setAcceptDrops(true);
  // A blank sheet: the first unsaved record is «Untitle1».
  UntitledCounter = 1;
  // The folder of comment/, help/ and bmp/.
  ProgramFolder = FindProgramFolder();
  // Place, heights, time settings, hints and the boundary warning from the store.
  int height = CollapsedHeight;
  {
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                          : QRect(0, 0, 1024, 768);
    ui::SettingsStore store;
    // Stored heights are kept within the screen.
    height = ui::ReachableHeight(store.read(ui::settings::FormHeight), CollapsedHeight);
    ExpandedHeight = store.read(ui::settings::FormHeightIndex);
    ExpandedHeight = std::min(ExpandedHeight, ui::ReachableHeight(ExpandedHeight, CollapsedHeight));
    const QPoint defaultPlace(screen.width() / 2 - FormWidth / 2, screen.height() / 2 - height / 2);
    const int left = store.read(ui::settings::FormLeft, defaultPlace.x());
    const int top = store.read(ui::settings::FormTop, defaultPlace.y());
    TimeCorrectionIndex = store.read(ui::settings::CalendarLetneeTime);
    TimeZoneIndex = store.read(ui::settings::CalendarGMT);
    // No zone stored yet (a first start): the desktop's own offset when it is
    // a whole hour of the list; a stored zone is never changed here.
    if (!ui::HasStoredTimeZone(store)) {
      if (const std::optional<int> zone = ui::ZoneIndexOfOffset(ui::platform().utcOffsetSeconds())) {
        TimeZoneIndex = *zone;
        zoneFromDesktop_ = true;
      }
    }
    hintsShown_ = store.read(ui::settings::SetHint);
    boundaryMinutes_ = std::clamp(store.read(ui::settings::SetBoundaryMinutes), 0, core::MaxBoundaryMinutes);
    // A height just above the collapsed one opens to the smallest expanded height.
    if (height > CollapsedHeight && height < MinExpandedHeight) {
      height = MinExpandedHeight;
      ExpandedHeight = MinExpandedHeight;
    }
    resize(FormWidth, height);
    // A stored place off every screen (a monitor since unplugged, a hand-made
    // value) gives the default place on the primary screen.
    move(ui::ReachablePosition(QPoint(left, top), QSize(FormWidth, height), defaultPlace));
  }
  lastHeight_ = height;
  // The status bar names the time settings.
  StatusBarIni();
  // The status panel makes room while a message of the status bar is shown.
  connect(StatusBar1, &QStatusBar::messageChanged, StatusPanel,
          [this](const QString& message) { StatusPanel->setVisible(message.isEmpty()); });
  if (zoneFromDesktop_) {
    StatusBar1->showMessage(QStringLiteral("Часовой пояс взят с компьютера: ") +
                                QString::fromStdString(calendar::ZoneCaption(timeSettings())),
                            15000);
  }
  // No figure before the first casting.
  GuaBig1->hide();
  GuaBig2->hide();
  GuaBig3->hide();
  created_ = true;
  // The date lists from the clock, then the record named on the command
  // line; both run outside any event: an error is shown here and creation
  // goes on.
  try {
    SetLunarDate(ui::DayValueOf(ui::platform().now()));
  } catch (const std::exception& e) {
    ui::ReportError(e);
  }
  if (!arguments.isEmpty() && HasRecordExtension(arguments.first())) {
    try {
      OpenMyDropOrClickFile(arguments.first());
    } catch (const std::exception& e) {
      ui::ReportError(e);
    }
  }
}

// ---------------------------------------------------------------------------
// Frame

void TFormKalynth::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FormResize();
}

void TFormKalynth::FormResize() {
  if (!created_) return;
  if (width() != FormWidth || height() < CollapsedHeight) {
    resize(FormWidth, std::max(height(), int(CollapsedHeight)));
    return;
  }
  // A maximised window is given back (changeEvent): its height is no
  // height the user chose.
  if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) return;
  const int h = height();
  if (undoingMaximize_) {
    if (h == heightBeforeMaximize_) undoingMaximize_ = false;
    lastHeight_ = h;
    return;
  }
  if (h == lastHeight_) return;
  heightBeforeResize_ = lastHeight_;
  lastHeight_ = h;
  expandedBeforeResize_ = ExpandedHeight;
  lastResize_.start();
  if (h > CollapsedHeight && h <= MinExpandedHeight)
    ExpandedHeight = MinExpandedHeight;
  else if (h > MinExpandedHeight)
    ExpandedHeight = h;
}

void TFormKalynth::LayoutClient() {
  QWidget* client = centralWidget();
  if (!client) return;
  // The client height the window has when collapsed: the divination area
  // fills it exactly; anything above goes to the comments box.
  const int collapsed = client->height() - (height() - CollapsedHeight);
  const int margin = 4;
  const int rowStep = 24;
  const int editHeight = 22;

  for (int n = 6; n >= 1; --n) {
    const int y = margin + (6 - n) * rowStep;
    LineEdit(n)->setGeometry(18, y, 40, editHeight);
  }
  QLabel* jao[6] = {Jao1, Jao2, Jao3, Jao4, Jao5, Jao6};
  for (int n = 6; n >= 1; --n) jao[n - 1]->setGeometry(margin, margin + (6 - n) * rowStep, 12, editHeight);
  Button1->setGeometry(margin, margin + 6 * rowStep + 2, 54, 24);

  const int edit7Top = collapsed - margin - editHeight;
  Edit7->setGeometry(margin, edit7Top, FormWidth - 2 * margin, editHeight);

  const int panelLeft = 64;
  const int panelWidth = FormWidth - panelLeft - margin;
  const int panelHeight = edit7Top - margin - margin;
  Panel1->setGeometry(panelLeft, margin, panelWidth, panelHeight);
  const int column = panelWidth / 3;
  TGuaBig* figures[3] = {GuaBig1, GuaBig2, GuaBig3};
  QLabel* numbers[3] = {Label1, Label2, Label3};
  const int lineHeight = 20;
  const int statusHeight = boundaryShown_ ? 2 * lineHeight - 4 : lineHeight;
  QLabel* names[3] = {GuaName1, GuaName2, GuaName3};
  // The figures with their numbers and names sit in the middle of the space
  // above the status strip; a long name takes a second line.
  const int nameHeight = 28;
  const int figureBlock = TGuaBig::FigureHeight + 4 + 18 + nameHeight;
  const int figureTop = std::max(6, (panelHeight - statusHeight - 6 - figureBlock) / 2);
  for (int i = 0; i < 3; ++i) {
    const int center = column * i + column / 2;
    figures[i]->move(center - TGuaBig::FigureWidth / 2, figureTop);
    numbers[i]->setGeometry(center - 30, figureTop + TGuaBig::FigureHeight + 4, 60, 18);
    names[i]->setGeometry(column * i + 4, figureTop + TGuaBig::FigureHeight + 4 + 18, column - 8, nameHeight);
  }
  Separator1->setGeometry(column, 6, 1, panelHeight - statusHeight - 14);
  Separator2->setGeometry(2 * column, 6, 1, panelHeight - statusHeight - 14);
  PanelStatus->setGeometry(3, panelHeight - statusHeight - 3, panelWidth - 6, statusHeight);
  LabelStatus->setGeometry(0, 0, PanelStatus->width(), lineHeight);
  LabelBoundary->setGeometry(2, lineHeight - 4, PanelStatus->width() - 4, lineHeight - 2);

  const int memoTop = collapsed;
  const int memoHeight = client->height() - memoTop - margin;
  CommentsMemo->setGeometry(margin, memoTop, FormWidth - 2 * margin, std::max(memoHeight, 0));
  CommentsMemo->setVisible(memoHeight >= 24);
}

void TFormKalynth::ToolButton10Click() {
  if (height() == CollapsedHeight)
    resize(FormWidth, ExpandedHeight <= MinExpandedHeight ? MinExpandedHeight : ExpandedHeight);
  else
    resize(FormWidth, CollapsedHeight);
}

void TFormKalynth::StatusBarIni() {
  // A stored correction outside the list keeps the text shown; no zone (-1)
  // and any other stored zone outside the list show no zone text.
  const calendar::TimeSettings settings = timeSettings();
  QString text = StatusPanel->text();
  if (calendar::IsCorrectionIndex(TimeCorrectionIndex))
    text = QString::fromStdString(calendar::CorrectionCaption(settings));
  if (calendar::IsZoneIndex(TimeZoneIndex))
    text += QStringLiteral(" | ") + QString::fromStdString(calendar::ZoneCaption(settings));
  StatusPanel->setText(text);
}

void TFormKalynth::Panel9Click() {
  OpenPage(QUrl(WebSiteUrl));
}

void TFormKalynth::N8Click() {
  OpenPage(QUrl::fromLocalFile(ProgramFolder + QStringLiteral("/help/index.htm")));
}

void TFormKalynth::OpenPage(const QUrl& url) {
  ui::OpenPage(this, url);
}

void TFormKalynth::N3Click() {
  if (windows_.about) windows_.about->exec();
}

void TFormKalynth::N6Click() {
  if (windows_.settings) windows_.settings->exec();
}

// Each item toggles the window the start-up code handed over for it; an
// item without its window stays unticked.
void TFormKalynth::Chza1Click() {
  ui::TToolWindow::Toggle(windows_.calendar, Chza1);
}
void TFormKalynth::VenVanClick() {
  ui::TToolWindow::Toggle(windows_.venvan, VenVan);
}
void TFormKalynth::Table1Click() {
  ui::TToolWindow::Toggle(windows_.diagramm, Table1);
}
void TFormKalynth::DiagUsinClick() {
  ui::TToolWindow::Toggle(windows_.usin, DiagUsin);
}
void TFormKalynth::StvilyVetviClick() {
  ui::TToolWindow::Toggle(windows_.legenda, StvilyVetvi);
}
void TFormKalynth::Reading1Click() {
  ui::TToolWindow::Toggle(windows_.reading, Reading1);
}

void TFormKalynth::closeEvent(QCloseEvent* event) {
  // Refuse first: an error inside the close query (a failed save) must keep
  // the window open.
  event->ignore();
  ui::RunCommand([this, event] {
    if (!FormCloseQuery()) return;
    FormClose();
    event->accept();
  });
}

void TFormKalynth::FormClose() {
  ui::SettingsStore store;
  store.write(ui::settings::FormLeft, x());
  store.write(ui::settings::FormTop, y());
  store.write(ui::settings::FormHeight, height());
  store.write(ui::settings::FormHeightIndex, ExpandedHeight);
  store.write(ui::settings::FormDiagShow, Table1->isChecked());
  store.write(ui::settings::FormCzaczyShow, Chza1->isChecked());
  store.write(ui::settings::FormVenvanShow, VenVan->isChecked());
  store.write(ui::settings::FormUsinShow, DiagUsin->isChecked());
  store.write(ui::settings::FormLegendaShow, StvilyVetvi->isChecked());
  if (windows_.reading) store.write(ui::settings::FormReadingShow, Reading1->isChecked());
  store.write(ui::settings::SetHint, hintsShown_);
}

bool TFormKalynth::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Resize:
      if (watched == centralWidget()) LayoutClient();
      break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      // Edit1KeyUp: Enter in a line field or on ">>" runs ">>", also while
      // the fields are read-only or the button is disabled. Only a release
      // whose press the same control received counts: the Enter that
      // answers a dialog (a save dialog, a prompt) is pressed there, and its
      // release, landing here once the dialog has closed, must not redraw
      // the figures nor mark the record changed.
      auto* key = static_cast<QKeyEvent*>(event);
      const bool lineField = watched == Edit1 || watched == Edit2 || watched == Edit3 || watched == Edit4 ||
                             watched == Edit5 || watched == Edit6 || watched == Button1;
      if (lineField && !key->isAutoRepeat() &&
          (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        if (event->type() == QEvent::KeyPress) {
          enterPressedIn_ = watched;
          break;
        }
        const bool pressedHere = enterPressedIn_ == watched;
        enterPressedIn_ = nullptr;
        if (pressedHere) ui::RunCommand([this] { Button1Click(); });
        return true;
      }
      break;
    }
    case QEvent::FocusOut:
      if (watched == enterPressedIn_) enterPressedIn_ = nullptr;
      break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
      // A file dropped on a text field belongs to the window, not the field.
      auto* drop = static_cast<QDropEvent*>(event);
      const bool textField = watched == Edit1 || watched == Edit2 || watched == Edit3 || watched == Edit4 ||
                             watched == Edit5 || watched == Edit6 || watched == Edit7 ||
                             watched == CommentsMemo->viewport();
      if (textField && drop->mimeData()->hasUrls()) {
        if (event->type() == QEvent::Drop)
          dropEvent(drop);
        else
          dragEnterEvent(static_cast<QDragEnterEvent*>(event));
        return true;
      }
      break;
    }
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TFormKalynth::dragEnterEvent(QDragEnterEvent* event) {
  const auto urls = event->mimeData()->urls();
  if (!urls.isEmpty() && urls.first().isLocalFile())
    event->acceptProposedAction();
  else
    event->ignore();
}

void TFormKalynth::dropEvent(QDropEvent* event) {
  const auto urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  // Only the first file counts. It is opened once the drop has finished, so
  // the prompts of the open do not hold the dragging program.
  const QString path = urls.first().toLocalFile();
  if (!path.isEmpty())
    QMetaObject::invokeMethod(
        this, [this, path] { ui::RunCommand([this, path] { OpenMyDropOrClickFile(path); }); },
        Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------
// Drawing: the divination's controls from the model

void TFormKalynth::Apply(const std::function<void()>& operation) {
  try {
    operation();
  } catch (...) {
    Draw();
    throw;
  }
  Draw();
}

core::DateSelection TFormKalynth::DateLists() const {
  return {GodCombo->currentIndex(), Mes->currentIndex(), Day->currentIndex(), Chas->currentIndex()};
}

void TFormKalynth::Draw() {
  const QScopedValueRollback<bool> guard(drawing_, true);
  const core::Divination& m = model_;
  const bool idle = !m.yarrowActive();

  for (int n = 1; n <= 6; ++n) {
    QLineEdit* field = LineEdit(n);
    const QString code = QString::fromStdString(m.lineCode(n));
    if (field->text() != code) field->setText(code);
    ZapolnenieGua(field);
    field->setReadOnly(!idle);
  }
  Button1->setEnabled(view_.castEnabled);
  const QString note = QString::fromStdString(m.note());
  if (Edit7->text() != note) Edit7->setText(note);
  // A long comment text is converted only when it changed.
  if (m.commentsRevision() != drawnComments_) {
    const QString comments = QString::fromStdString(m.commentsText());
    if (CommentsMemo->toPlainText() != comments) CommentsMemo->setPlainText(comments);
    drawnComments_ = m.commentsRevision();
  }
  CommentsMemo->setEnabled(idle);

  const core::DateSelection date = m.date();
  const std::pair<QComboBox*, int> lists[4] = {
      {GodCombo, date.year}, {Mes, date.month}, {Day, date.day}, {Chas, date.hour}};
  for (const auto& [list, index] : lists) {
    if (list->currentIndex() != index) list->setCurrentIndex(index);
    list->setEnabled(idle);
  }

  TGuaBig* figures[3] = {GuaBig1, GuaBig2, GuaBig3};
  TClickLabel* numbers[3] = {Label1, Label2, Label3};
  QLabel* names[3] = {GuaName1, GuaName2, GuaName3};
  if (const std::optional<core::Numbers> cast = m.numbers())
    view_.captions = {cast->primary, cast->nuclear, cast->changed};
  for (core::FigureIndex i : {core::Primary, core::Nuclear, core::Changed}) {
    const bool shown = m.HasFigure(i);
    figures[i]->setLines(m.figure(i));
    figures[i]->setJaoNo(m.changingLine());
    figures[i]->setVisible(shown && !view_.figuresHidden);
    const int n = view_.captions[i];
    numbers[i]->setText(QString::number(n));
    numbers[i]->setVisible(shown);
    const bool named = shown && n >= 1 && n <= 64;
    if (named) {
      const core::HexagramName& name = core::NameOfHexagram(n);
      names[i]->setText(QString::fromUtf8(name.name.data(), qsizetype(name.name.size())));
      names[i]->setToolTip(
          QString::fromUtf8(name.transliteration.data(), qsizetype(name.transliteration.size())) +
          QLatin1Char(' ') + QString::fromUtf8(name.hanzi.data(), qsizetype(name.hanzi.size())));
    }
    names[i]->setVisible(named);
  }
  LabelStatus->setText(m.castDate() ? QString::fromStdString(m.CastDateText())
                                    : QString::fromUtf8(NoCastDateText));
  PanelStatus->setVisible(m.fromDate());
  // The warning of a date casting near a change of the date (an opened
  // record's own).
  const std::string boundary = m.fromDate() && m.context() ? m.context()->boundary : std::string();
  const QString warning = QString::fromStdString(boundary);
  LabelBoundary->setToolTip(warning);
  LabelBoundary->setAccessibleName(warning);
  if (boundaryShown_ != !boundary.empty()) {
    boundaryShown_ = !boundary.empty();
    LayoutClient();
  }
  // On the strip the nearest change and its other side in short ("До смены
  // лунного дня 1 мин — иначе гуа 11, 54, 19, черта 3"); the whole as the hint.
  const QString nearest = warning.section(QStringLiteral(" | "), 0, 0);
  const QString when = nearest.section(QLatin1Char(':'), 0, 0);
  QString other = nearest.section(QStringLiteral("; "), 1);
  other.replace(QStringLiteral("по ту сторону"), QStringLiteral("иначе"));
  LabelBoundary->setText(LabelBoundary->fontMetrics().elidedText(
      QStringLiteral("⚠ ") + when + (other.isEmpty() ? QString() : QStringLiteral(" — ") + other),
      Qt::ElideRight, std::max(LabelBoundary->width(), 100)));
  LabelBoundary->setVisible(!boundary.empty());
  // The moment of the cast on the sheet (an opened record's own), its whole
  // calendar as the hint.
  if (const std::optional<core::CastContext>& context = m.context()) {
    const std::string moment = core::MomentText(*context);
    MomentPanel->setText(QString::fromStdString(moment.empty() ? std::string("Момент неизвестен") : moment));
    MomentPanel->setToolTip(QString::fromStdString(core::ContextText(*context)));
  } else {
    MomentPanel->setText(m.numbers() ? QStringLiteral("Момент неизвестен") : QString());
    MomentPanel->setToolTip(m.numbers() ? QString::fromUtf8(core::UnknownMomentText.data(),
                                                            qsizetype(core::UnknownMomentText.size())) +
                                              QStringLiteral(": запись сохранена без него")
                                        : QString());
  }
  MomentPanel->setAccessibleName(MomentPanel->toolTip());
  ui::DescribeFigures(this, m);

  // The yarrow procedure: exactly the next division button while it runs;
  // saving, casting anew and the date casting wait for its end.
  for (QAction* a : {Save1, Saveas1}) a->setEnabled(idle);
  // Nothing to print before a hexagram is cast.
  const bool printable = m.numbers().has_value();
  for (QAction* a : {Print1, PdfExport1}) {
    a->setEnabled(printable);
    a->setToolTip(printable ? QString() : QString::fromUtf8(NothingToPrintText));
  }
  for (QToolButton* b : {ToolButton9, ToolButton1, ToolButton2}) b->setEnabled(idle);
  Entry1->setEnabled(idle);
  Coins1->setEnabled(idle);
  ToolButton4->setEnabled(m.yarrowDivision() == 1);
  ToolButton5->setEnabled(m.yarrowDivision() == 2);
  ToolButton6->setEnabled(m.yarrowDivision() == 3);
  emit divinationChanged();
}

// ---------------------------------------------------------------------------
// Number entry

void TFormKalynth::Edit1Change() {
  EditChange(1);
}
void TFormKalynth::Edit2Change() {
  EditChange(2);
}
void TFormKalynth::Edit3Change() {
  EditChange(3);
}
void TFormKalynth::Edit4Change() {
  EditChange(4);
}
void TFormKalynth::Edit5Change() {
  EditChange(5);
}
void TFormKalynth::Edit6Change() {
  EditChange(6);
}

void TFormKalynth::EditChange(int n) {
  if (drawing_) return;
  Apply([this, n] {
    model_.EditLine(n, LineEdit(n)->text().toStdString());
    view_.castEnabled = true;
    view_.codesTyped = true;
  });
}

void TFormKalynth::ZapolnenieGua(QLineEdit* field) {
  int n = 1;
  while (n < 6 && LineEdit(n) != field) ++n;
  QPalette pal = field->palette();
  const QColor windowText = QApplication::palette(field).color(QPalette::Text);
  pal.setColor(QPalette::Text, model_.IsChangingLine(n) ? QColor(Qt::red) : windowText);
  field->setPalette(pal);
}

void TFormKalynth::Entry1Click() {
  if (model_.yarrowActive()) return;
  if (!FormEntry)
    FormEntry = new TFormEntry([this](const std::array<std::string, 6>& codes) { EnterCodes(codes); }, this);
  FormEntry->open();
}

void TFormKalynth::EnterCodes(const std::array<std::string, 6>& codes, core::CastMethod how) {
  // As if typed into the six fields, then ">>".
  for (int n = 1; n <= 6; ++n) LineEdit(n)->setText(QString::fromStdString(codes[std::size_t(n - 1)]));
  CastCodes(how);
}

void TFormKalynth::Coins1Click() {
  if (model_.yarrowActive()) return;
  // A dialog of its own for each cast: six throws from the start.
  auto* coins = new TFormCoins(
      coinSource_ ? coinSource_ : core::SystemCoins(),
      [this](const std::array<std::string, 6>& codes) { EnterCodes(codes, core::CastMethod::Coins); }, this);
  coins->setAttribute(Qt::WA_DeleteOnClose);
  FormCoins = coins;
  coins->open();
}

void TFormKalynth::Button1Click() {
  CastCodes(core::CastMethod::Codes);
}

void TFormKalynth::CastCodes(core::CastMethod how) {
  Apply([this, how] {
    view_.figuresHidden = false;
    view_.codesTyped = false;
    model_.CastFromCodes(how);
    RememberCastMoment();
  });
  ui::Announce(this, ui::CastResultText(model_));
}

// ---------------------------------------------------------------------------
// Yarrow stalks

namespace {
core::ClockNumber WindowClock() {
  return [] {
    const QTime t = ui::platform().now().time();
    return core::ClockNumberOf(t.minute(), t.second());
  };
}
}  // namespace

// What a screen reader says after a division: the line written, or the
// three hexagrams when the sixth line ended the casting.
QString TFormKalynth::DivisionText() const {
  if (!model_.yarrowActive()) return ui::CastResultText(model_);
  QString text = QStringLiteral("Разделено");
  for (int n = 6; n >= 1; --n) {
    const QString code = QString::fromStdString(model_.lineCode(n));
    if (code.size() == 3) {
      text = QStringLiteral("Черта %1: %2").arg(n).arg(code);
      break;
    }
  }
  return text;
}

ui::Answer TFormKalynth::AskSave() {
  const ui::Answer answer = ui::platform().warningYesNoCancel(this, SavePromptText());
  if (answer == ui::Answer::Yes) Save1Click();
  return answer;
}

bool TFormKalynth::AskToSave() {
  // A cancelled or failed save keeps the record dirty.
  const ui::Answer answer = AskSave();
  return answer == ui::Answer::No || (answer == ui::Answer::Yes && !model_.modified());
}

void TFormKalynth::ToolButton1Click() {
  // Only Modified counts here: a casting asks even on an unnamed blank sheet.
  if (model_.modified() && !AskToSave()) return;
  Apply([this] {
    model_.BeginMilfoil();
    view_.castEnabled = true;
  });
}

// Division 1..3 of the yarrow procedure; its end casts the figures.
void TFormKalynth::Divide(int division) {
  Apply([this, division] {
    if (model_.yarrowLine() >= 1 && model_.yarrowLine() <= 6) view_.castEnabled = true;
    view_.figuresHidden = false;
    view_.codesTyped = false;
    model_.Divide(division, core::ProgramRandom(), WindowClock());
    if (!model_.yarrowActive()) RememberCastMoment();
  });
}

void TFormKalynth::ToolButton4Click() {
  Divide(1);
  ui::Announce(this, DivisionText());
}

void TFormKalynth::ToolButton5Click() {
  Divide(2);
  ui::Announce(this, DivisionText());
}

void TFormKalynth::ToolButton6Click() {
  Divide(3);
  ui::Announce(this, DivisionText());
}

// ---------------------------------------------------------------------------
// Date casting

void TFormKalynth::GodComboChange() {
  // A date chosen by hand belongs to no moment of the clock.
  listsMoment_.reset();
  Apply([this] { model_.ChooseDate(DateLists()); });
}

void TFormKalynth::ToolButton2Click() {
  Apply([this] {
    model_.SetDate(DateLists());
    // The figures are hidden first: a date list without selection leaves
    // them so.
    view_.figuresHidden = true;
    view_.codesTyped = false;
    model_.CastFromDate();
    view_.figuresHidden = false;
    RememberCastMoment();
    // The date lists filled from a moment minutes from a change of the
    // lunar date: the context says what the other side would have given.
    if (listsMoment_ && model_.context() && boundaryMinutes_ > 0) {
      core::CastContext context = *model_.context();
      context.boundary =
          core::BoundaryWarningsLine(core::BoundaryWarnings(*listsMoment_, timeSettings(), boundaryMinutes_));
      model_.SetContext(std::move(context));
    }
  });
  ui::Announce(
      this, ui::CastResultText(model_) +
                (LabelBoundary->isVisible() ? QStringLiteral(". ") + LabelBoundary->toolTip() : QString()));
}

void TFormKalynth::RememberCastMoment() {
  // Each casting clears the context of the one before; a cast that gave no
  // figures has none.
  if (!model_.numbers() || model_.context()) return;
  ui::Platform& platform = ui::platform();
  const QDateTime now = platform.now();
  const QDateTime local(now.date(), now.time(), Qt::OffsetFromUTC, platform.utcOffsetSeconds());
  model_.SetContext(core::ContextOfCast(model_.method(), local.toString(Qt::ISODate).toStdString(),
                                        ui::DayValueOf(now), timeSettings()));
}

void TFormKalynth::SetLunarDate(astro::TDateTime t) {
  const ui::LunarSelection s = ui::ComputeLunarSelection(t, timeSettings());
  for (int i = 0; i < 12; ++i) Chas->setItemText(i, QString::fromStdString(s.chasCaptions[i]));
  Label6->setText(QString::fromStdString(s.monthCaption));
  Apply([this, &s] { model_.SetDate({s.yearNumber - 1, s.month - 1, s.day - 1, s.doubleHour}); });
  listsMoment_ = t;
}

// ---------------------------------------------------------------------------
// Commentary

void TFormKalynth::Label1Click() {
  OpenGuaWindows(Label1);
}
void TFormKalynth::Label2Click() {
  OpenGuaWindows(Label2);
}
void TFormKalynth::Label3Click() {
  OpenGuaWindows(Label3);
}

void TFormKalynth::OpenGuaWindows(QLabel* label) {
  const core::FigureIndex i = label == Label1   ? core::Primary
                              : label == Label2 ? core::Nuclear
                                                : core::Changed;
  OpenHexagramPage(view_.captions[i]);
}

void TFormKalynth::OpenHexagramPage(int n, const QString& anchor) {
  if (n < 1 || n > 64) return;
  QUrl page = QUrl::fromLocalFile(ProgramFolder + QStringLiteral("/comment/") + QString::number(n) +
                                  QStringLiteral(".htm"));
  if (!anchor.isEmpty()) page.setFragment(anchor);
  OpenPage(page);
}

namespace {
QString CodesText(const core::Divination& m) {
  QStringList codes;
  for (int n = 1; n <= 6; ++n) codes << QString::fromStdString(m.lineCode(n));
  return QStringLiteral("Числа черт (снизу вверх): ") + codes.join(QLatin1Char(' '));
}
}  // namespace

ui::ShownCast TFormKalynth::ShownCast() const {
  const core::Divination& m = model_;
  ui::ShownCast cast;
  cast.note = QString::fromStdString(m.note());
  if (m.yarrowActive()) {
    cast.hint =
        QStringLiteral("Идёт гадание на стеблях: тексты появятся, когда будут получены все шесть черт.");
    return cast;
  }
  if (view_.codesTyped) {
    // The reading of the codes as they are typed, once all six are valid.
    std::array<std::string_view, 6> codes;
    for (int n = 1; n <= 6; ++n) codes[std::size_t(n - 1)] = m.lineCode(n);
    const core::CodesCasting casting = core::CastFromCodes(codes);
    if (!casting.valid) {
      cast.hint = QStringLiteral("Введите числа всех шести черт: тексты появятся, когда гуа будет получена.");
      return cast;
    }
    cast.primary = casting.primary;
    for (int n = 1; n <= 6; ++n)
      if (m.IsChangingLine(n)) cast.changing.push_back(n);
    cast.source = CodesText(m);
    return cast;
  }
  if (!m.numbers() || view_.figuresHidden) {
    cast.hint = QStringLiteral(
        "Гуа ещё не получена: введите числа черт и нажмите «>>», разделите стебли или получите гуа по дате.");
    return cast;
  }
  cast.primary = m.figure(core::Primary);
  cast.changing = m.ChangingLines();
  cast.context = QString::fromStdString(m.context() ? core::ContextText(*m.context())
                                                    : std::string(core::UnknownMomentText));
  cast.source = m.fromDate() ? QString::fromStdString(m.CastDateText()) : CodesText(m);
  return cast;
}

// ---------------------------------------------------------------------------
// Record lifecycle

QString TFormKalynth::SavePromptText() const {
  // A record never saved is named as such rather than by an empty name.
  const QString name =
      CurrentFileName.isEmpty() ? QStringLiteral("«без имени»") : FileNameOf(CurrentFileName);
  return QStringLiteral("Сохранить изменения в файле ") + name + QStringLiteral("?");
}

TFormKalynth::Leaving TFormKalynth::MaybeSave() {
  if (!model_.NeedsSaving()) return Leaving::Leave;
  switch (AskSave()) {
    case ui::Answer::No:
      return Leaving::Leave;
    case ui::Answer::Yes:
      return model_.modified() ? Leaving::Unsaved : Leaving::Saved;
    default:
      return Leaving::Stay;
  }
}

records::Record TFormKalynth::CurrentRecord() const {
  return records::RecordOf(model_);
}

bool TFormKalynth::WriteRecord(const QString& path, const records::FileIdentity& expected,
                               records::FileIdentity& written) {
  const records::Record record = CurrentRecord();
  // A record the program would refuse to open again is not written.
  const qsizetype commentLines = records::CommentLineCount(record.comments);
  if (commentLines > records::MaxCommentLines)
    throw records::RecordError(records::CommentLinesText(commentLines));
  const QStringList fields = records::UnencodableFields(record);
  if (!fields.isEmpty()) {
    QStringList places;
    for (const QString& f : fields) {
      if (f == QLatin1String(records::NoteKey))
        places << QStringLiteral("в кратком комментарии");
      else if (f == QLatin1String(records::CommentsField))
        places << QStringLiteral("в комментариях");
      else
        places << QStringLiteral("в числах %1-го яо").arg(f.right(1));
    }
    const QString text =
        QStringLiteral(
            "Не все знаки можно записать в файл KALYNTH: он хранит только русские и латинские "
            "буквы, цифры и обычные знаки (кодировка Windows-1251). Другие знаки есть %1.\n"
            "В файле вместо них окажутся знаки «?».\n\nСохранить всё равно?")
            .arg(places.join(QStringLiteral(", ")));
    if (ui::platform().warningYesNo(this, text) != ui::Answer::Yes) return false;
  }
  written = records::WriteRecordFile(path, record, expected);
  emit recordSaved(path);
  return true;
}

namespace {
// After a refused save: the reason and the way out.
QString OfferSaveAs(const records::UnsafeSaveError& error) {
  return error.text() + QStringLiteral("\n\nСохранить запись в другой файл?");
}
}  // namespace

void TFormKalynth::Save1Click() {
  if (!model_.bound()) {
    Saveas1Click();
    return;
  }
  records::FileIdentity written;
  try {
    if (!WriteRecord(CurrentFileName, CurrentFileIdentity, written)) return;
  } catch (const records::UnsafeSaveError& e) {
    // The name leads elsewhere now (or through another user's link):
    // nothing was written, the record stays changed, and the user may
    // choose a file as with Save As.
    if (ui::platform().warningYesNo(this, OfferSaveAs(e)) == ui::Answer::Yes) Saveas1Click();
    return;
  }
  CurrentFileIdentity = written;
  model_.MarkSaved();
}

void TFormKalynth::Saveas1Click() {
  ui::FileDialogRequest request;
  request.directory = FolderOf(CurrentFileName);
  request.fileName = QStringLiteral("Untitle") + QString::number(UntitledCounter);
  request.filter = RecordFilter;
  request.defaultSuffix = QStringLiteral("kly");
  const QString chosen = ui::platform().saveFileName(this, request);
  if (chosen.isEmpty()) return;
  // A record is opened only by its extension: a typed name with another
  // one ("вопрос 10.12.2026", "test.txt") gets ".kly" added, and the user is
  // asked before that name replaces a file.
  const QString path = HasRecordExtension(chosen) ? chosen : chosen + QStringLiteral(".kly");
  if (path != chosen && QFileInfo::exists(path) &&
      ui::platform().warningYesNo(
          this,
          QStringLiteral("Файл %1 уже существует.\nЗаменить его?").arg(QDir::toNativeSeparators(path))) !=
          ui::Answer::Yes)
    return;
  records::FileIdentity written;
  try {
    if (!WriteRecord(path, {}, written)) return;
  } catch (const records::UnsafeSaveError& e) {
    // Another user's link at the chosen name: another name, or nothing.
    if (ui::platform().warningYesNo(this, OfferSaveAs(e)) == ui::Answer::Yes) Saveas1Click();
    return;
  }
  CurrentFileName = QFileInfo(path).absoluteFilePath();
  CurrentFileIdentity = written;
  model_.MarkSaved();
  ++UntitledCounter;
  SetTitleFor(path);
}

void TFormKalynth::SetTitleFor(const QString& path) {
  setWindowTitle(Title + QStringLiteral(" - ") + FileNameOf(path));
}

void TFormKalynth::ShowNotARecord(const QString& path) {
  ui::platform().error(this, records::NotARecordMessage(path));
}

void TFormKalynth::ClearBtnClick() {
  if (model_.yarrowActive() && ui::platform().confirmYesNo(this, AbortPromptText) == ui::Answer::No) return;
  if (!MayLeave(MaybeSave())) return;
  NewClick();
}

void TFormKalynth::NewClick() {
  Apply([this] {
    model_.NewSheet();
    view_.castEnabled = false;
    view_.codesTyped = false;
  });
  setWindowTitle(Title);
  SetLunarDate(ui::DayValueOf(ui::platform().now()));
  CurrentFileName.clear();
  CurrentFileIdentity = {};
}

void TFormKalynth::Open1Click() {
  for (;;) {
    if (model_.yarrowActive() && ui::platform().confirmYesNo(this, AbortPromptText) == ui::Answer::No) return;
    // Yes saves and asks again: a cancelled save leads back to the prompt.
    const Leaving leaving = MaybeSave();
    if (leaving == Leaving::Stay) return;
    if (leaving == Leaving::Leave) break;
  }
  OpenMyFile();
}

void TFormKalynth::OpenMyFile() {
  ui::FileDialogRequest request;
  request.directory = FolderOf(CurrentFileName);
  request.fileName = OpenDialogFileName;
  request.filter = RecordFilter;
  const QString path = ui::platform().openFileName(this, request);
  if (path.isEmpty()) return;
  OpenDialogFileName = path;
  records::FileIdentity identity;
  const std::optional<records::Record> record = records::ReadRecordFile(path, &identity);
  if (!record) {
    ShowNotARecord(path);
    return;
  }
  ReadRecord(*record, path, true, identity);
}

void TFormKalynth::OpenMyDropOrClickFile(const QString& path) {
  if (model_.yarrowActive() && ui::platform().confirmYesNo(this, AbortPromptText) == ui::Answer::No) return;
  if (!HasRecordExtension(path)) {
    ShowNotARecord(path);
    return;
  }
  if (!MayLeave(MaybeSave())) return;
  OpenMyDropOrClickFileRaschet(path);
}

void TFormKalynth::OpenMyDropOrClickFileRaschet(const QString& path) {
  records::FileIdentity identity;
  const std::optional<records::Record> record = records::ReadRecordFile(path, &identity);
  if (!record) {
    ShowNotARecord(path);
    return;
  }
  ReadRecord(*record, path, false, identity);
}

void TFormKalynth::ReadRecord(const records::Record& record, const QString& path, bool fromOpenDialog,
                              const records::FileIdentity& identity) {
  // Fields, lists, figures (restored or cast from the codes), the reset of
  // the casting controls, comments, clean and bound: all in the model.
  for (int n = 1; n <= 6; ++n)  // a field that changes enables ">>"
    if (record.lineCodes[n - 1].toStdString() != model_.lineCode(n)) view_.castEnabled = true;
  view_.figuresHidden = false;
  view_.codesTyped = false;
  listsMoment_.reset();
  records::Restore(model_, record);
  // The caller's binding: the open dialog binds at once and forgets the
  // name; a given path binds after the reset.
  if (fromOpenDialog) {
    CurrentFileName = QFileInfo(path).absoluteFilePath();
    OpenDialogFileName.clear();
  }
  SetTitleFor(path);
  if (!fromOpenDialog) CurrentFileName = QFileInfo(path).absoluteFilePath();
  CurrentFileIdentity = identity;
  Draw();
}

bool TFormKalynth::FormCloseQuery() {
  bool canClose = MayLeave(MaybeSave());
  if (model_.yarrowActive() && ui::platform().confirmYesNo(this, AbortPromptText) == ui::Answer::No)
    canClose = false;
  return canClose;
}

void TFormKalynth::TakeHandOff() {
  {
    ui::SettingsStore store;
    HandOffPath = store.read(ui::settings::ParamStr);
    // Emptied before the open: a prompt closing during the open activates
    // the window again and must not find the same path.
    if (!HandOffPath.isEmpty()) store.write(ui::settings::ParamStr, QString());
  }
  if (!HandOffPath.isEmpty()) OpenMyDropOrClickFile(HandOffPath);
}

void TFormKalynth::SetTimeSettings(const calendar::TimeSettings& settings) {
  SetTimeSettings(settings.correctionIndex(), settings.zoneIndex());
}

void TFormKalynth::SetTimeSettings(int timeCorrectionIndex, int timeZoneIndex) {
  TimeCorrectionIndex = timeCorrectionIndex;
  TimeZoneIndex = timeZoneIndex;
  // The hour ranges of the "Час" list follow the new correction at once,
  // also while a cast figure keeps the lists' date: the list and the sheet
  // name the same clock hours.
  const std::array<std::string, 12> captions = calendar::DoubleHourCaptions(timeSettings());
  for (int i = 0; i < 12 && i < Chas->count(); ++i) Chas->setItemText(i, QString::fromStdString(captions[i]));
}

void TFormKalynth::Journal1Click() {
  if (!FormJournal) {
    // A window of its own (not a child of this one); it opens records
    // through the same command as a dropped file.
    FormJournal = new TFormJournal(
        [this](const QString& path) {
          // The record is shown where the user looks: the main window comes
          // forward with the prompts of the open and stays in front after it.
          BringToFront();
          ui::RunCommand([this, path] { OpenMyDropOrClickFile(path); });
          BringToFront();
        },
        [this] { return CurrentFileName; });
    connect(this, &QObject::destroyed, FormJournal, [journal = FormJournal] { delete journal; });
  }
  FormJournal->show();
  FormJournal->raise();
  FormJournal->activateWindow();
}

void TFormKalynth::BringToFront() {
  if (windowState() & Qt::WindowMinimized) setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

void TFormKalynth::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // The window has a fixed width: there is nothing to maximise (a window
  // manager that offers it anyway, by its button or a double click on the
  // title, gets the window back as it was).
  if (event->type() == QEvent::WindowStateChange &&
      (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
    // The window manager may have sized the window before saying it is
    // maximised: that height does not become the comments' height.
    // Until the window has its old height back (or for two seconds, should
    // the window manager keep another), its heights are not recorded.
    const bool resizedFirst = lastResize_.isValid() && lastResize_.elapsed() < 2000;
    if (resizedFirst) ExpandedHeight = expandedBeforeResize_;
    if (!undoingMaximize_) {
      undoingMaximize_ = true;
      heightBeforeMaximize_ = resizedFirst ? heightBeforeResize_ : height();
      QTimer::singleShot(2000, this, [this] { undoingMaximize_ = false; });
    }
    QMetaObject::invokeMethod(
        this, [this] { setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen)); },
        Qt::QueuedConnection);
  }
}

// ---- the divination sheet ---------------------------------------------------
// The sheet shows the divination of the window; printing reads it and changes
// nothing (neither the record nor its changed flag).

void TFormKalynth::Print1Click() {
  const core::Divination& divination = Model();
  if (!divination.numbers()) throw std::runtime_error(ui::EmptySheetText);
  const ui::SheetFooter footer{Model().bound() ? CurrentFileName : QString(), ui::platform().now(),
                               timeSettings()};
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageLayout(ui::SheetPageLayout());
  printer.setDocName(QString::fromStdString(divination.note()));
  QPrintPreviewDialog preview(&printer, this);
  preview.setWindowTitle(QStringLiteral("Печать гадания"));
  connect(&preview, &QPrintPreviewDialog::paintRequested, this,
          [&](QPrinter* target) { ui::RunCommand([&] { PrintSheet(*target, footer); }); });
  preview.exec();
}

void TFormKalynth::PrintSheet(QPrinter& target, const ui::SheetFooter& footer) {
  const core::Divination& divination = Model();
  // Printing to a file (the print dialog's PDF choice): the file is made as
  // "Экспорт в PDF" makes it, beside its place under a new name, never
  // through another user's link nor over a record, and put in place whole.
  // Qt opens the output by name; the descriptor's own name in /proc is the
  // new file whatever happens to the folder meanwhile. The preview paints
  // pictures, no file.
  const QString outputName = target.outputFileName();
  std::unique_ptr<records::ReplacingFile> file;
  if (target.outputFormat() == QPrinter::PdfFormat && !outputName.isEmpty() && target.paintEngine() &&
      target.paintEngine()->type() != QPaintEngine::Picture) {
    file = ui::OpenSheetFile(outputName, CurrentFileIdentity);
    target.setOutputFileName(QStringLiteral("/proc/self/fd/%1").arg(file->fd()));
  }
  struct RestoreName {
    QPrinter& printer;
    const QString& name;
    bool active;
    ~RestoreName() {
      if (active) printer.setOutputFileName(name);
    }
  } restore{target, outputName, file != nullptr};
  {
    QPainter painter;
    if (!painter.begin(&target)) {
      if (file) throw std::runtime_error(records::CannotCreateFileText(outputName).toStdString());
      return;
    }
    ui::PaintSheet(painter, QRectF(QPointF(0, 0), QSizeF(target.width(), target.height())), divination,
                   footer, [&target] { target.newPage(); });
  }
  if (file && (!ui::SheetFileComplete(*file) || !file->commit()))
    throw std::runtime_error(records::CannotCreateFileText(outputName).toStdString());
}

void TFormKalynth::PdfExport1Click() {
  const core::Divination& divination = Model();
  if (!divination.numbers()) throw std::runtime_error(ui::EmptySheetText);
  ui::FileDialogRequest request;
  request.directory = FolderOf(CurrentFileName);
  request.fileName =
      Model().bound() ? QFileInfo(CurrentFileName).completeBaseName() + QStringLiteral(".pdf")
                      : QStringLiteral("Untitle") + QString::number(UntitledCounter) + QStringLiteral(".pdf");
  request.filter = QStringLiteral("PDF (*.pdf)");
  request.caption = QStringLiteral("Экспорт в PDF");
  request.defaultSuffix = QStringLiteral("pdf");
  // The chosen name is checked before the replace question: a record is
  // never offered for replacing by a sheet.
  request.confirmOverwrite = false;
  const QString path = ui::platform().saveFileName(this, request);
  if (path.isEmpty()) return;
  // The record's file (whatever name the PDF was given); also after a
  // casting, when the window no longer shows what the file holds.
  const records::FileIdentity record = CurrentFileIdentity;
  if (records::HasRecordFileExtension(path))
    throw std::runtime_error(ui::RecordOutputText(path).toStdString());
  if (record.known && records::IdentityOf(path) == record)
    throw std::runtime_error(ui::SameAsRecordText(path).toStdString());
  QFileInfo chosen(path);
  if ((chosen.exists() || chosen.isSymLink()) &&
      ui::platform().warningYesNo(
          this,
          QStringLiteral("Файл %1 уже существует.\nЗаменить его?").arg(QDir::toNativeSeparators(path))) !=
          ui::Answer::Yes)
    return;
  ui::ExportSheetPdf(divination,
                     {Model().bound() ? CurrentFileName : QString(), ui::platform().now(), timeSettings()},
                     path, record);
}
