// What a screen reader and a keyboard user get from the main window.
//
//   void ui::NameMainWindowControls(QWidget* window)
//       gives the controls of the main window (found by object name) their
//       accessible names: the tool buttons say what they do, the six line
//       fields are named by their line («Числа первой черты») with the
//       line's hint as description and their number label as buddy; the
//       tool buttons and the three figures take the keyboard focus, and
//       Enter on a figure opens its page as a click on its number does;
//       the hidden figures and numbers are not read.
//       Call once from the window's constructor.
//   void ui::NameCalendarWindowControls(QWidget* window)
//       the calendar window as a named window whose hidden sign pictures
//       are not read, each pillar one picture read «Год: Бин У».
//       Call once from the window's constructor.
//   void ui::NameReadingWindowControls(QWidget* window)
//       the reading window as a named window whose folded texts are not
//       read. Call once from the window's constructor.
//   void ui::NameJournalControls(QWidget* window)
//   void ui::NameSettingsControls(QWidget* dialog)
//       the fields of the journal and of the settings dialog named by their
//       captions. Call once from the window's constructor.
//   void ui::DescribeFigures(QWidget* window, const core::Divination& model)
//       names the three figures and their number labels from the model:
//       «Основное гуа 11 «Расцвет», меняются черты 3 и 5»; a hidden figure or
//       number says nothing. Call after every redraw of the figures.
//   QString ui::CastResultText(const core::Divination& model)
//       the three hexagrams of a cast in one sentence (empty before a cast)
//   void ui::Announce(QWidget* source, const QString& text)
//       has a screen reader say text without moving the focus: an alert on
//       the status label of source's window, whose name becomes text; with
//       no source, the active window or else the main window.
#pragma once

#include <QString>

#include "core/divination.h"

class QWidget;

namespace ui {

void NameMainWindowControls(QWidget* window);
void NameCalendarWindowControls(QWidget* window);
void NameReadingWindowControls(QWidget* window);
void NameJournalControls(QWidget* window);
void NameSettingsControls(QWidget* dialog);
void DescribeFigures(QWidget* window, const core::Divination& model);
QString FigureName(int figure, int number, const std::vector<int>& changingLines);
QString CastResultText(const core::Divination& model);
void Announce(QWidget* source, const QString& text);

}  // namespace ui
