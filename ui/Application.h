// The KALYNTH application object.
//
// Errors raised inside a command (an exception from the astronomy kernel,
// the calendar, a record file or a conversion) end that command and are
// shown in one place for the whole program, RunCommand: an error box with
// the error's own text, after which the program keeps running. No handler
// catches them itself. Every command is connected through ui::Command, so
// an error is caught before it could unwind through Qt's event delivery,
// which is not exception-safe (it would leak the event and leave Qt's
// state half-updated); notify() is the net for anything else.
//
// API
//   class ui::KalynthApplication : public QApplication
//     KalynthApplication(int& argc, char** argv);   sets the title "KALYNTH"
//     bool notify(QObject*, QEvent*) override;      catches std::exception
//                                                   (and anything else) that
//                                                   leaves an event handler
//   QString ui::ErrorText(const std::exception&);    the text shown for an error
//                                                   (records::RecordError and
//                                                   std::exception: what())
//   void ui::ReportError(const std::exception&);     the error box of notify, for
//                                                   the few places that run
//                                                   outside an event (window
//                                                   creation before the loop)
//   void ui::RunCommand(const std::function<void()>&) noexcept;
//        runs one command and reports the error that ends it
//   auto ui::Command(object, &Class::Handler)
//        a slot for connect() that runs the handler through RunCommand
//   bool ui::InstallRussianTranslation(QCoreApplication&);
//        loads Qt's own qtbase_ru (standard buttons "Да", "Нет", "Отмена")
//        for an explicit Russian locale; false when the catalogue is missing
#pragma once

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>

namespace ui {

class KalynthApplication : public QApplication {
  Q_OBJECT
 public:
  KalynthApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

QString ErrorText(const std::exception& error);
void ReportError(const std::exception& error);

void RunCommand(const std::function<void()>& command) noexcept;

template <class T>
auto Command(T* object, void (T::*handler)()) {
  return [object, handler] { RunCommand([object, handler] { (object->*handler)(); }); };
}

bool InstallRussianTranslation(QCoreApplication& app);

}  // namespace ui
