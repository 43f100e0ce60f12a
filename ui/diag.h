// The four picture windows: TDiagramm ("Диаграмма «Стволы-ветви»"),
// Tlegenda ("Стволы-ветви"), TFormVenvan ("Диаграмма Вень-вана") and TUsin
// ("Диаграмма «У-син»").
//
// One family: each shows one reference picture of bmp/ in a white tool
// window of fixed size, with the rules every tool window shares
// (ui/ToolWindow.h: position from the store and back at destruction, shown
// state mirrored by its "Прочее" item, the close box hides, stays on top
// unless "Set" says otherwise). The four differ only in their row of the
// table in diag.cpp: caption, bitmap, client size and settings values.
//
// Creation (FormCreate), at start-up after the main window:
//   1. load ProgramFolder + the bitmap into Image1. A missing or unreadable
//      file ends the creation here with the error "Cannot open file <path>"
//      (shown in the program's error box; the program goes on): the window
//      keeps its first place and stays on top, shows no picture and is not
//      shown at start; its menu item still toggles it. At the end it leaves
//      its stored place alone unless the user has shown it (then the place
//      where it was is written).
//   2. left and top from the store; without them the four stand side by
//      side from the screen's top left corner in the order Стволы-ветви
//      diagram, legend, King Wen, five phases (ui::BesideEachOther), a new
//      row below where the screen is too narrow
//   3. stay on top from "Set" (default true)
//   4. shown from "Form" (default false): shown now and its item ticked
//
//   TDiagramm(mainWindow, menuItem, programFolder) ... TUsin(...)
//       mainWindow: the window it stays above; menuItem: its "Прочее" item;
//       programFolder: the folder holding bmp/
//   bool HasPicture() const     step 1 succeeded
//   QString BitmapPath() const  ProgramFolder + "/bmp/diagN.bmp"
#pragma once

#include <QString>

#include "ui/ToolWindow.h"

class QLabel;
class QAction;
struct PictureWindowRow;

class TPictureWindow : public ui::TToolWindow {
  Q_OBJECT
 public:
  QLabel* Image1 = nullptr;

  bool HasPicture() const { return hasPicture_; }
  QString BitmapPath() const { return bitmapPath_; }

 protected:
  TPictureWindow(const PictureWindowRow& row, QWidget* mainWindow, QAction* menuItem,
                 const QString& programFolder);

 private:
  void FormCreate(const PictureWindowRow& row);

  QString bitmapPath_;
  bool hasPicture_ = false;
};

class TDiagramm : public TPictureWindow {
  Q_OBJECT
 public:
  TDiagramm(QWidget* mainWindow, QAction* menuItem, const QString& programFolder);
};

class Tlegenda : public TPictureWindow {
  Q_OBJECT
 public:
  Tlegenda(QWidget* mainWindow, QAction* menuItem, const QString& programFolder);
};

class TFormVenvan : public TPictureWindow {
  Q_OBJECT
 public:
  TFormVenvan(QWidget* mainWindow, QAction* menuItem, const QString& programFolder);
};

class TUsin : public TPictureWindow {
  Q_OBJECT
 public:
  TUsin(QWidget* mainWindow, QAction* menuItem, const QString& programFolder);
};
