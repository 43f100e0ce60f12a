// Reading and replacing files without trusting a name looked at earlier.
#include "records/files.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

namespace records {

namespace {

FileIdentity IdentityOf(const struct stat& st) {
  return {quint64(st.st_dev), quint64(st.st_ino), true};
}

void Close(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

QDateTime ModifiedOf(const struct stat& st) {
  return QDateTime::fromMSecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000);
}

QString ErrnoText(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return QStringLiteral("нет прав на чтение");
    case EMFILE:
    case ENFILE:
      return QStringLiteral("открыто слишком много файлов");
    case EIO:
      return QStringLiteral("ошибка ввода-вывода");
    default:
      return QString::fromLocal8Bit(std::strerror(error));
  }
}

CandidateFile ReadCandidateFile(const QString& path, qint64 limit) {
  return ReadCandidateFile(QFile::encodeName(path), limit);
}

CandidateFile ReadCandidateFile(const QByteArray& name, qint64 limit) {
  CandidateFile file;
  const auto refuse = [&file](CandidateProblem problem, const QString& reason) {
    file.problem = problem;
    file.reason = reason;
    file.bytes.reset();
    return file;
  };
  const auto unreadable = [&](int error) {
    return refuse(CandidateProblem::Unreadable, QStringLiteral("Файл не читается: ") + ErrnoText(error));
  };
  // A first look spares opening what is plainly no file (a device is not
  // opened at all); the decision itself is taken on the open descriptor.
  struct stat st {};
  if (::stat(name.constData(), &st) != 0) {
    const int error = errno;
    struct stat link {};
    if (error == ENOENT && ::lstat(name.constData(), &link) == 0 && S_ISLNK(link.st_mode))
      return refuse(CandidateProblem::DanglingLink, QStringLiteral("Ссылка ведёт на файл, которого нет"));
    if (error == ENOENT || error == ENOTDIR)
      return refuse(CandidateProblem::Missing, QStringLiteral("Файл не найден"));
    return unreadable(error);
  }
  const QString notRegular = QStringLiteral("Не обычный файл (папка, канал или устройство)");
  if (!S_ISREG(st.st_mode)) {
    file.modified = ModifiedOf(st);
    return refuse(CandidateProblem::NotRegular, notRegular);
  }
  // O_NONBLOCK: should the name lead to a pipe by now, the open returns at
  // once instead of waiting for a writer; O_NOCTTY: a terminal put there
  // does not become ours.
  int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    if (error == ENOENT) return refuse(CandidateProblem::Missing, QStringLiteral("Файл не найден"));
    return unreadable(error);
  }
  struct Closer {
    int& fd;
    ~Closer() { Close(fd); }
  } closer{fd};
  if (::fstat(fd, &st) != 0) return unreadable(errno);
  file.modified = ModifiedOf(st);
  file.identity = IdentityOf(st);
  if (!S_ISREG(st.st_mode)) return refuse(CandidateProblem::NotRegular, notRegular);
  file.size = st.st_size;
  const QString tooLarge = QStringLiteral("Файл больше %1 МБ: это не запись").arg(limit / (1024 * 1024));
  if (st.st_size > limit) return refuse(CandidateProblem::TooLarge, tooLarge);

  // One byte more than the limit tells a file that grew since fstat.
  // Allocated at its size: resize() of an empty array would reserve twice
  // as much, which for a large file is a new mapping of memory (and its
  // page faults) for every file read instead of memory used again.
  QByteArray bytes(qsizetype(std::min<qint64>(st.st_size, limit) + 1), Qt::Uninitialized);
  qsizetype have = 0;
  for (;;) {
    if (have == bytes.size()) {
      if (have > limit) return refuse(CandidateProblem::TooLarge, tooLarge);
      bytes.resize(qsizetype(std::min<qint64>(qint64(have) * 2 + 16384, limit + 1)));
    }
    const ssize_t n = ::read(fd, bytes.data() + have, size_t(bytes.size() - have));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return unreadable(errno);
    if (n == 0) break;
    have += n;
  }
  if (have > limit) return refuse(CandidateProblem::TooLarge, tooLarge);
  bytes.truncate(have);
  file.size = have;
  file.bytes = std::move(bytes);
  file.problem = CandidateProblem::None;
  return file;
}

FileIdentity IdentityOf(const QString& path) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
  return IdentityOf(st);
}

namespace {

// Folder part and name part of a path ("a/b" -> "a", "b"; "b" -> ".", "b";
// "/b" -> "/", "b").
void Split(const QByteArray& path, QByteArray& folder, QByteArray& name) {
  const qsizetype slash = path.lastIndexOf('/');
  folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
  name = path.mid(slash + 1);
}

bool LinkIsTrusted(const struct stat& link) {
  return link.st_uid == ::geteuid() || link.st_uid == 0;
}

constexpr int kMostLinks = 40;  // as the kernel's own limit

}  // namespace

ReplacingFile::ReplacingFile(const QString& path, const Options& options) : options_(options) {
  const auto fail = [this](int error) {
    status_ = Status::Failed;
    error_ = error;
  };
  QByteArray shown = QFile::encodeName(path);  // the target as a path, for messages
  QByteArray folder;
  Split(shown, folder, name_);
  if (name_.isEmpty() || name_ == "." || name_ == "..") {
    fail(EISDIR);
    return;
  }
  dir_ = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_ < 0) {
    fail(errno);
    return;
  }

  // Follows the name's links inside the held folders, one at a time.
  struct stat st {};
  bool exists = false;
  for (int links = 0;; ++links) {
    if (::fstatat(dir_, name_.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno != ENOENT) {
        fail(errno);
        return;
      }
      break;  // a new file (also the end of a link of ours to a new file)
    }
    if (S_ISDIR(st.st_mode)) {
      fail(EISDIR);
      return;
    }
    if (!S_ISLNK(st.st_mode)) {
      exists = true;
      break;
    }
    if (links == kMostLinks) {
      fail(ELOOP);
      return;
    }
    // The link itself, held open: its owner and its text are those of one
    // and the same link even if the name is replaced meanwhile.
    const int link = ::openat(dir_, name_.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (link < 0) {
      fail(errno);
      return;
    }
    struct stat ls {};
    QByteArray text(PATH_MAX, '\0');
    ssize_t n = -1;
    if (::fstat(link, &ls) == 0 && S_ISLNK(ls.st_mode)) {
      if (!LinkIsTrusted(ls)) {
        ::close(link);
        foreignLink_ = QFile::decodeName(shown);
        status_ = Status::ForeignLink;
        return;
      }
      n = ::readlinkat(link, "", text.data(), size_t(text.size()));
    }
    const int error = errno;
    ::close(link);
    if (!S_ISLNK(ls.st_mode)) continue;  // replaced by another kind of file: look again
    if (n <= 0 || n >= text.size()) {
      fail(n < 0 ? error : ENAMETOOLONG);
      return;
    }
    text.truncate(n);
    QByteArray linkFolder, linkName;
    Split(text, linkFolder, linkName);
    if (linkName.isEmpty() || linkName == "." || linkName == "..") {
      fail(EISDIR);
      return;
    }
    const int next = text.startsWith('/')
                         ? ::open(linkFolder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                         : ::openat(dir_, linkFolder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (next < 0) {
      fail(errno);
      return;
    }
    Close(dir_);
    dir_ = next;
    name_ = linkName;
    if (text.startsWith('/')) {
      shown = text;
    } else {
      QByteArray shownFolder, shownName;
      Split(shown, shownFolder, shownName);
      shown = (shownFolder == "/" ? QByteArray("/") : shownFolder + '/') + text;
    }
  }
  target_ = QFile::decodeName(shown);

  if (options_.expected.known && (!exists || !(IdentityOf(st) == options_.expected))) {
    status_ = Status::OtherFile;
    return;
  }
  if (options_.forbidden.known && exists && IdentityOf(st) == options_.forbidden) {
    status_ = Status::Forbidden;
    return;
  }
  // A file the user may not write stays as it is, as with any editor.
  if (exists && ::faccessat(dir_, name_.constData(), W_OK, 0) != 0) {
    fail(errno);
    return;
  }

  // The new file: a fresh name beside the target, made here and now
  // (O_EXCL: never an existing file or link).
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    unsigned char random[6] = {};
    if (::getrandom(random, sizeof random, 0) != ssize_t(sizeof random)) {
      fail(errno);
      return;
    }
    QByteArray temp = ".kalynth-";
    for (unsigned char r : random) temp += kLetters[r % (sizeof kLetters - 1)];
    fd_ = ::openat(dir_, temp.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd_ >= 0) {
      temp_ = temp;  // ours: removed again unless committed
    } else if (errno != EEXIST) {
      fail(errno);
      return;
    }
  }
  if (fd_ < 0) {
    fail(EEXIST);
    return;
  }

  bool ok = true;
  if (exists) {
    // Owner and group of the old file where the process may give them
    // (as cp --preserve does); its permission bits in any case.
    if (::fchown(fd_, st.st_uid, st.st_gid) != 0) (void)!::fchown(fd_, uid_t(-1), st.st_gid);
    ok = ::fchmod(fd_, st.st_mode & 07777) == 0;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ok = ::fchmod(fd_, 0666 & ~mask) == 0;
  }
  struct stat made {};
  if (!ok || ::fstat(fd_, &made) != 0) {
    const int error = errno;
    Discard();
    fail(error);
    return;
  }
  identity_ = IdentityOf(made);
  status_ = Status::Open;
}

void ReplacingFile::Discard() {
  Close(fd_);
  if (!temp_.isEmpty() && dir_ >= 0) ::unlinkat(dir_, temp_.constData(), 0);
  temp_.clear();
}

ReplacingFile::~ReplacingFile() {
  if (status_ != Status::Committed) Discard();
  Close(dir_);
}

bool ReplacingFile::commit() {
  if (status_ != Status::Open) return false;
  // The data is on the disk before the new name points to it: after a
  // crash or a power cut the file is the old one or the whole new one.
  bool ok = ::fsync(fd_) == 0;
  ok = ::close(fd_) == 0 && ok;
  fd_ = -1;
  ok = ok && ::renameat(dir_, temp_.constData(), dir_, name_.constData()) == 0;
  if (!ok) {
    error_ = errno;
    Discard();
    status_ = Status::Failed;
    return false;
  }
  temp_.clear();
  status_ = Status::Committed;
  // The rename itself reaches the disk with the folder. A file system that
  // cannot sync a folder has the new file in place all the same.
  ::fsync(dir_);
  return true;
}

QString ForeignLinkText(const QString& link) {
  return QStringLiteral(
             "%1 — символьная ссылка другого пользователя. Программа не записывает файлы через чужие "
             "ссылки: владелец ссылки может в любой момент направить её на другой ваш файл.")
      .arg(link);
}

QString OtherFileText(const QString& path) {
  return QStringLiteral(
             "Под именем %1 теперь не тот файл, который был открыт или сохранён здесь: ссылку перенаправили, "
             "файл заменили или удалили. Запись не сохранена.")
      .arg(path);
}

namespace {
void FileSizeLimitReached(int) {}
}  // namespace

void CatchFileSizeSignal() {
  struct sigaction action {};
  action.sa_handler = FileSizeLimitReached;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGXFSZ, &action, nullptr);
}

bool IsRecordFileName(const QString& path) {
  const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  if (dot < 0) return false;
  const QStringView ext = QStringView(name).mid(dot);
  return ext == QLatin1String(".KLY") || ext == QLatin1String(".kly") || ext == QLatin1String(".Kly");
}

bool HasRecordFileExtension(const QString& path) {
  return path.endsWith(QLatin1String(".kly"), Qt::CaseInsensitive);
}

bool WriteAllBytes(int fd, const QByteArray& bytes) {
  const char* p = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, size_t(left));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;  // a full disk, the file-size limit, an I/O error
    p += n;
    left -= n;
  }
  return true;
}

}  // namespace records
