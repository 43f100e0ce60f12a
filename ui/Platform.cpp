#include "ui/Platform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

#include "calendar/civil.h"

namespace ui {

namespace {

Platform& defaultPlatform() {
  static Platform instance;
  return instance;
}

Platform* current = nullptr;

// A dialog without a parent belongs to the window the user works in: the
// window manager keeps it above that window.
QWidget* OwnerOf(QWidget* parent) {
  if (parent) return parent->window();
  return QApplication::activeWindow();
}

// A message box as wide as its caption needs (with the frame's buttons), so
// the title bar does not cut it ("Подтв… ение").
void FitCaption(QMessageBox& box) {
  QFont titleFont = box.font();
  titleFont.setBold(true);
  const int wanted = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + 160;
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0,
                  1, grid->columnCount());
}

QString runFileDialog(QWidget* parent, const FileDialogRequest& request, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(OwnerOf(parent));
  if (!request.caption.isEmpty()) dialog.setWindowTitle(request.caption);
  // Qt's own dialog on every desktop: the same behaviour everywhere, with
  // the Russian texts of Qt's translation.
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilter(request.filter);
  dialog.setSizeGripEnabled(true);
  if (mode == QFileDialog::AcceptSave) {
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
  }
  if (!request.directory.isEmpty()) dialog.setDirectory(request.directory);
  dialog.selectFile(request.fileName);
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList files = dialog.selectedFiles();
  return files.isEmpty() ? QString() : files.first();
}

}  // namespace

Platform::~Platform() = default;

Answer Platform::warningYesNoCancel(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Предупреждение"), text,
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, OwnerOf(parent));
  FitCaption(box);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

Answer Platform::warningYesNo(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Предупреждение"), text,
                  QMessageBox::Yes | QMessageBox::No, OwnerOf(parent));
  FitCaption(box);
  box.setDefaultButton(QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

Answer Platform::confirmYesNo(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Подтверждение"), text,
                  QMessageBox::Yes | QMessageBox::No, OwnerOf(parent));
  FitCaption(box);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void Platform::error(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Ошибка"), text, QMessageBox::Ok, OwnerOf(parent));
  FitCaption(box);
  box.exec();
}

QString Platform::openFileName(QWidget* parent, const FileDialogRequest& request) {
  return runFileDialog(parent, request, QFileDialog::AcceptOpen);
}

QString Platform::saveFileName(QWidget* parent, const FileDialogRequest& request) {
  return runFileDialog(parent, request, QFileDialog::AcceptSave);
}

QString Platform::directoryName(QWidget* parent, const QString& caption, const QString& directory) {
  return QFileDialog::getExistingDirectory(OwnerOf(parent), caption, directory,
                                           QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
}

QDateTime Platform::now() {
  return QDateTime::currentDateTime();
}

int Platform::utcOffsetSeconds() {
  return QDateTime::currentDateTime().offsetFromUtc();
}

bool Platform::openUrl(const QUrl& url) {
  return QDesktopServices::openUrl(url);
}

bool OpenPage(QWidget* parent, const QUrl& url) {
  if (platform().openUrl(url)) return true;
  // No browser or launcher took it: say which page could not be shown.
  // A mail request is named by its address, without the message's fields.
  const QString where = url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile())
                        : url.scheme() == QLatin1String("mailto") ? url.toString(QUrl::RemoveQuery)
                                                                  : url.toString();
  platform().error(parent, QStringLiteral("Не удалось открыть страницу %1: на компьютере нет программы, "
                                          "которая открывает такие страницы, или она не запустилась.")
                               .arg(where));
  return false;
}

Platform& platform() {
  return current ? *current : defaultPlatform();
}

Platform* setPlatform(Platform* replacement) {
  Platform* previous = current;
  current = replacement;
  return previous;
}

astro::TDateTime DayValueOf(const QDate& date, const QTime& time) {
  return calendar::EncodeCivilDateTime(
      {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second(), time.msec()});
}

astro::TDateTime DayValueOf(const QDateTime& local) {
  return DayValueOf(local.date(), local.time());
}

}  // namespace ui
