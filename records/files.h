// Files on disk as the program reads and replaces them, whoever else can
// write in the same folders.
//
// Reading (ReadCandidateFile): a file that may be a record is opened once,
// with O_NONBLOCK | O_NOCTTY | O_CLOEXEC, and everything said about it (a
// regular file or not, its size, its time, which file it is) comes from
// fstat of that one descriptor. A pipe, a device or a folder put in a
// record's place between two looks is never read and never waited on.
//
// Which file (FileIdentity): device and inode of the file a name led to.
// The main window keeps the identity of the file it opened or last saved;
// the next save checks that the name still leads to that very file.
//
// Replacing (ReplacingFile): new contents go to a new file beside the file
// the name leads to and take its place in one rename. The name is followed
// to that file by the program itself, one symbolic link at a time, and only
// through links that belong to the saving user or to root: another user
// who can write in a shared folder can re-point a link of theirs at any
// file of ours, so such a link is never followed (not even to its current
// target). The folder is held open from the moment it is found, so nothing
// is decided on a name looked at earlier. A link of our own stays a link
// and the file it leads to is replaced.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

struct stat;

namespace records {

struct FileIdentity {
  quint64 device = 0;
  quint64 inode = 0;
  bool known = false;
  bool operator==(const FileIdentity&) const = default;
};

// What one look at a possible record found.
enum class CandidateProblem {
  None,          // bytes hold the whole file
  Missing,       // no such file
  DanglingLink,  // a symbolic link to a file that does not exist
  NotRegular,    // a folder, pipe, socket or device
  TooLarge,      // more than the size limit
  Unreadable,    // the file cannot be opened or read (permissions, I/O)
};

struct CandidateFile {
  std::optional<QByteArray> bytes;  // set exactly when problem is None
  CandidateProblem problem = CandidateProblem::Missing;
  QString reason;         // the journal's text for the problem; empty for None
  QDateTime modified;     // modification time (local); invalid when never opened
  qint64 size = -1;       // bytes of a regular file, else -1
  FileIdentity identity;  // of the file opened (known when it was opened)
};

// Opens path (following symbolic links, as the kernel does for any
// reader), and reads it when it is a regular file of at most `limit` bytes.
CandidateFile ReadCandidateFile(const QString& path, qint64 limit);
// The same by the name's own bytes (a name that is not UTF-8 included).
CandidateFile ReadCandidateFile(const QByteArray& nativePath, qint64 limit);

// A file's modification time (local), from its status.
QDateTime ModifiedOf(const struct stat& st);
// Russian text of an errno value for the reasons the journal shows.
QString ErrnoText(int error);

// The identity of the file a name leads to now (symbolic links followed);
// not known when there is none.
FileIdentity IdentityOf(const QString& path);

// A file whose whole new contents replace the file at `path` in one step.
//
//   ReplacingFile out(path, {.expected = identity});
//   if (out.status() != ReplacingFile::Status::Open) ...refused or failed
//   write(out.fd(), ...);
//   out.commit();            // false: failed, nothing changed
//
// Until commit() the file at path is untouched; a file not committed is
// removed when the object is destroyed, so no temporary file stays behind
// (whatever failed: a full disk, the file-size limit, an exception).
class ReplacingFile {
 public:
  struct Options {
    // The name must still lead to this file (when known); a re-pointed
    // link, a replaced or a deleted file refuses with OtherFile.
    FileIdentity expected;
    // The name must not lead to this file (when known): Forbidden.
    FileIdentity forbidden;
  };
  enum class Status {
    Open,         // write to fd(), then commit()
    ForeignLink,  // the name or a link on the way is another user's link
    OtherFile,    // the name no longer leads to the expected file
    Forbidden,    // the name leads to the forbidden file
    Failed,       // the file cannot be created (errno in error())
    Committed,    // the new file is in place
  };

  ReplacingFile(const QString& path, const Options& options);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  Status status() const { return status_; }
  int fd() const { return fd_; }
  int error() const { return error_; }
  // The other user's link that was refused (as a path).
  const QString& foreignLink() const { return foreignLink_; }
  // The path of the file that is replaced (after our own links).
  const QString& target() const { return target_; }
  // The new file (known while Open and once Committed).
  FileIdentity identity() const { return identity_; }

  // Syncs the new file and renames it over the target: the target is the
  // whole new file afterwards, or unchanged when this returns false.
  bool commit();

 private:
  void Discard();

  Status status_ = Status::Failed;
  Options options_;
  int dir_ = -1;  // the target's folder
  int fd_ = -1;   // the new file
  int error_ = 0;
  QByteArray name_;  // target's name in dir_
  QByteArray temp_;  // the new file's name in dir_
  QString foreignLink_, target_;
  FileIdentity identity_;
};

// The messages of the refusals above, naming the path.
QString ForeignLinkText(const QString& link);
QString OtherFileText(const QString& path);

// The file-size limit (ulimit -f) makes a write that passes it fail with
// EFBIG, which every writer here takes as a failed save, instead of ending
// the process with SIGXFSZ and losing the edit. Called first thing by the
// program and by kalynth-calc. A handler that does nothing rather than
// ignoring the signal: programs started from ours get the default again.
void CatchFileSizeSignal();

// The name of a record: the file name's extension, from its last point, is
// exactly ".KLY", ".kly" or ".Kly". The window opens only such names and
// the journal lists only them, so whatever the journal lists opens.
bool IsRecordFileName(const QString& path);

// The file name ends in ".kly" in any letter case: a name that may be taken
// for a record, never written over by a sheet.
bool HasRecordFileExtension(const QString& path);

// Writes all of `bytes` to fd; false on a full disk, the file-size limit
// or any other short write.
bool WriteAllBytes(int fd, const QByteArray& bytes);

}  // namespace records
