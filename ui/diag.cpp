#include "ui/diag.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <stdexcept>

#include "settings/SettingsStore.h"
#include "ui/Application.h"
#include "ui/Placement.h"

// One row per picture window.
struct PictureWindowRow {
  const char* objectName;
  const char* caption;
  const char* bitmap;  // under ProgramFolder
  QSize client;
  QSize picture;  // the picture area; empty: the picture takes the bitmap's size
  ui::ToolWindowSettings settings;
};

namespace {

namespace s = ui::settings;

enum Row { DiagRow, LegendaRow, VenvanRow, UsinRow };

// What a window manager's frame adds around a small tool window (borders
// and the caption bar), enough for the first-start places not to overlap.
const QSize FrameAllowance(4, 26);

const PictureWindowRow kRows[4] = {
    {"Diagramm",
     "Диаграмма «Стволы-ветви»",
     "/bmp/diag1.bmp",
     {291, 313},
     {288, 309},
     {s::FormDiagLeft, s::FormDiagTop, s::FormDiagShow, s::SetDiagWinTop}},
    {"legenda",
     "Стволы-ветви",
     "/bmp/diag2.bmp",
     {302, 381},
     {},
     {s::FormLegendaLeft, s::FormLegendaTop, s::FormLegendaShow, s::SetLegendaTop}},
    {"FormVenvan",
     "Диаграмма Вень-вана",
     "/bmp/diag3.bmp",
     {327, 324},
     {},
     {s::FormVenvanLeft, s::FormVenvanTop, s::FormVenvanShow, s::SetVenvanTop}},
    {"Usin",
     "Диаграмма «У-син»",
     "/bmp/diag4.bmp",
     {200, 194},
     {},
     {s::FormUsinLeft, s::FormUsinTop, s::FormUsinShow, s::SetUsinWinTop}},
};

}  // namespace

TPictureWindow::TPictureWindow(const PictureWindowRow& row, QWidget* mainWindow, QAction* menuItem,
                               const QString& programFolder)
    : ui::TToolWindow(mainWindow, menuItem, row.settings),
      bitmapPath_(programFolder + QString::fromLatin1(row.bitmap)) {
  setObjectName(QString::fromLatin1(row.objectName));
  setWindowTitle(QString::fromUtf8(row.caption));
  setFixedSize(row.client);
  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Image1->move(0, 0);
  if (!row.picture.isEmpty()) Image1->resize(row.picture);
  // Creation runs before the message loop: an error is shown here and the
  // program goes on.
  try {
    FormCreate(row);
  } catch (const std::exception& e) {
    ui::ReportError(e);
  }
}

void TPictureWindow::FormCreate(const PictureWindowRow& row) {
  // The picture first: without it the window has nothing to show.
  QPixmap picture;
  if (!picture.load(bitmapPath_)) throw std::runtime_error("Cannot open file " + bitmapPath_.toStdString());
  Image1->setPixmap(picture);
  if (row.picture.isEmpty()) Image1->resize(picture.size());
  hasPicture_ = true;
  // Without a stored place the four stand side by side from the top left
  // corner of the screen, as far as the screen has room.
  const int index = int(&row - kRows);
  QList<QSize> sizes;
  for (const PictureWindowRow& r : kRows) sizes << r.client + FrameAllowance;
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  ReadPosition(ui::BesideEachOther(sizes, index, area));
  // Stay on top and shown at start, as stored.
  ReadStaysOnTop();
  ShowIfStored();
}

TDiagramm::TDiagramm(QWidget* mainWindow, QAction* menuItem, const QString& programFolder)
    : TPictureWindow(kRows[DiagRow], mainWindow, menuItem, programFolder) {}
Tlegenda::Tlegenda(QWidget* mainWindow, QAction* menuItem, const QString& programFolder)
    : TPictureWindow(kRows[LegendaRow], mainWindow, menuItem, programFolder) {}
TFormVenvan::TFormVenvan(QWidget* mainWindow, QAction* menuItem, const QString& programFolder)
    : TPictureWindow(kRows[VenvanRow], mainWindow, menuItem, programFolder) {}
TUsin::TUsin(QWidget* mainWindow, QAction* menuItem, const QString& programFolder)
    : TPictureWindow(kRows[UsinRow], mainWindow, menuItem, programFolder) {}
