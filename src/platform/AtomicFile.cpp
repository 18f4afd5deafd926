#include "AtomicFile.h"

#include "FileType.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kMaxSymlinks = 40;
constexpr char kTempTag[] = ".brelund-tmp-";
constexpr char kBackupTag[] = ".brelund-bak-";
constexpr std::size_t kSuffixLength = 6;

[[noreturn]] void ThrowErrno(int err, const std::string& path, const CMessage& what) {
    throw CFileException(CFileException::CauseFromErrno(err), path,
                         what + Verbatim(": ") + ErrnoText(err));
}

CMessage CreateIn(const std::string& folder) {
    return {"cannot create a file in " + folder, "impossibile creare un file in " + folder};
}

CMessage FollowLink(const std::string& link) {
    return {"cannot follow the symbolic link " + link,
            "impossibile seguire il collegamento simbolico " + link};
}

CMessage CannotPutBack(const std::string& backup) {
    return {"a save of this file was interrupted and its previous version, kept in " + backup +
                ", cannot be put back",
            "un salvataggio di questo file è stato interrotto e la sua versione precedente, "
            "conservata in " +
                backup + ", non può essere ripristinata"};
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A descriptor closed on every way out.
class CDescriptor {
public:
    explicit CDescriptor(int fd = -1) : m_fd(fd) {}
    ~CDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CDescriptor(const CDescriptor&) = delete;
    CDescriptor& operator=(const CDescriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

// The mode a plain create gives a new file.
mode_t DefaultMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool IsWriteProtected(const std::string& target, const struct stat& st) {
    // Root may write anything; a file with no write bit at all is still one
    // its owner meant to keep.
    if (::geteuid() == 0)
        return (st.st_mode & 0222) == 0;
    return ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0 &&
           (errno == EACCES || errno == EPERM || errno == EROFS);
}

// Refuses a target that is not a regular file or that is write-protected.
void CheckTarget(const std::string& path, const std::string& target, const struct stat& st,
                 const AtomicWriteOptions& options) {
    if (NonRegularFileKind(st.st_mode) != nullptr) {
        const CMessage subject = target == path ? CMessage("it is ", "è ")
                                                : CMessage("its target " + target + " is ",
                                                           "la sua destinazione " + target + " è ");
        throw CFileException(CFileException::notRegularFile, path,
                             CMessage("cannot write: ", "impossibile scriverlo: ") + subject +
                                 NonRegularFileKindText(st.st_mode) +
                                 CMessage(", not a regular file; nothing written",
                                          ", non un file regolare; nulla è stato scritto"));
    }
    if (IsWriteProtected(target, st))
        throw CFileException(CFileException::accessDenied, path,
                             CMessage(std::string(options.kind) + " is read-only; nothing written",
                                      "il file è di sola lettura; nulla è stato scritto"));
}

std::string RandomSuffix() {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
    std::string suffix;
    for (std::size_t i = 0; i < kSuffixLength; ++i)
        suffix += kChars[pick(device)];
    return suffix;
}

// Removes the temporaries a killed save of this target left.
void RemoveStaleTemporaries(const std::string& folder, const std::string& base) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const std::string prefix = "." + base + kTempTag;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + kSuffixLength || name.compare(0, prefix.size(), prefix))
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode))
            ::unlinkat(::dirfd(dir), name.c_str(), 0);
    }
    ::closedir(dir);
}

void SyncFolder(const std::string& folder) {
    const CDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0)
        ::fsync(dir.Get());
}

// The temporary file of one save: unnamed while it is written where the
// file system allows, named otherwise; removed unless it was put in place.
class CTemporary {
public:
    CTemporary(const std::string& path, const std::string& folder, const std::string& base,
               bool unnamed)
        : m_path(path), m_folder(folder), m_base(base) {
        if (unnamed) {
            m_fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
            if (m_fd >= 0) {
                // Without /proc there is no way to write it by name or to link it.
                if (::access(ProcPath().c_str(), F_OK) == 0)
                    return;
                ::close(m_fd);
                m_fd = -1;
            } else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
                ThrowErrno(errno, path, CreateIn(folder));
            }
        }
        std::string name = folder + "/." + base + kTempTag + "XXXXXX";
        m_fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (m_fd < 0)
            ThrowErrno(errno, path, CreateIn(folder));
        m_named = name;
    }
    ~CTemporary() {
        if (!m_named.empty())
            ::unlink(m_named.c_str());
        ::close(m_fd);
    }
    CTemporary(const CTemporary&) = delete;
    CTemporary& operator=(const CTemporary&) = delete;

    int Fd() const { return m_fd; }
    // A path that opens the temporary.
    std::string FillPath() const { return m_named.empty() ? ProcPath() : m_named; }

    // Renames the temporary over target, naming it first when it has no name.
    void RenameOver(const std::string& target) {
        while (m_named.empty()) {
            const std::string name = m_folder + "/." + m_base + kTempTag + RandomSuffix();
            if (::linkat(AT_FDCWD, ProcPath().c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) ==
                0)
                m_named = name;
            else if (errno != EEXIST)
                ThrowErrno(errno, m_path,
                           {"cannot name the new file in " + m_folder,
                            "impossibile dare il nome al nuovo file in " + m_folder});
        }
        if (::rename(m_named.c_str(), target.c_str()) != 0)
            ThrowErrno(errno, m_path,
                       {"cannot replace the file", "impossibile sostituire il file"});
        m_named.clear();
    }

private:
    std::string ProcPath() const { return "/proc/self/fd/" + std::to_string(m_fd); }

    std::string m_path, m_folder, m_base;
    int m_fd = -1;
    std::string m_named;
};

// Copies every byte of from over to from offset 0, cuts to to their length
// and flushes to; 0 or the errno of the failure.
int CopyContent(int from, int to) {
    std::vector<char> buffer(std::size_t{1} << 20);
    off_t offset = 0;
    for (;;) {
        const ssize_t n = ::pread(from, buffer.data(), buffer.size(), offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            break;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::pwrite(to, buffer.data() + done, static_cast<std::size_t>(n - done),
                                       offset + done);
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            done += w;
        }
        offset += n;
    }
    if (::ftruncate(to, offset) != 0)
        return errno;
    if (::fsync(to) != 0 && errno != EINVAL)
        return errno;
    return 0;
}

// What names a file whatever link leads to it, for the name of its backup:
// device and inode, and the birth time where the file system keeps one, so
// that a file made later on a reused inode is not taken for it.
std::string FileId(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return "";
    unsigned long long born = 0;
    struct statx sx {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME))
        born = static_cast<unsigned long long>(sx.stx_btime.tv_sec) * 1000000000ULL +
               sx.stx_btime.tv_nsec;
    char id[64];
    std::snprintf(id, sizeof id, "%llx-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino), born);
    return id;
}

// The backups of the file open as fd in folder, under whichever of its names
// they were made.
std::vector<std::string> FindBackups(const std::string& folder, int fd) {
    std::vector<std::string> found;
    const std::string id = FileId(fd);
    if (id.empty())
        return found;
    const std::string suffix = kBackupTag + id;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return found;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() <= suffix.size() + 1 || name.front() != '.' ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix))
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode))
            found.push_back(folder + "/" + name);
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end());
    return found;
}

// Writes the temporary's bytes into target itself, which keeps its inode and
// so every hard link, with a backup of the old bytes until it is done.
void WriteInPlace(const std::string& path, const std::string& target, const struct stat& st,
                  CTemporary& temp, bool unnamed) {
    const CDescriptor file(::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.Get() < 0)
        ThrowErrno(errno, path,
                   {"cannot open the file to write it in place",
                    "impossibile aprire il file per riscriverlo"});
    struct stat now {};
    if (::fstat(file.Get(), &now) != 0 || now.st_dev != st.st_dev || now.st_ino != st.st_ino)
        throw CFileException(CFileException::generic, path,
                             CMessage("the file changed while it was saved; nothing written",
                                      "il file è cambiato durante il salvataggio; nulla è stato "
                                      "scritto"));

    const std::string folder = FolderOf(target);
    const std::string backupName = InPlaceBackupPath(target, file.Get());
    {
        // The backup gets its name only when it is whole and on the disk, so
        // that a backup found by name can always be put back.
        CTemporary backup(path, folder, BaseOf(target), unnamed);
        if (const int err = CopyContent(file.Get(), backup.Fd()))
            ThrowErrno(err, path,
                       {"cannot back the file up before writing it in place",
                        "impossibile farne una copia prima di riscriverlo"});
        backup.RenameOver(backupName);
    }
    SyncFolder(folder);
    const CDescriptor old(::open(backupName.c_str(), O_RDONLY | O_CLOEXEC));
    if (old.Get() < 0)
        ThrowErrno(errno, path,
                   {"cannot read the backup " + backupName + " back",
                    "impossibile rileggere la copia " + backupName});
    if (const int err = CopyContent(temp.Fd(), file.Get())) {
        if (CopyContent(old.Get(), file.Get()) == 0) {
            ::unlink(backupName.c_str());
            ThrowErrno(err, path,
                       {"cannot write the file in place (its previous content was put back)",
                        "impossibile riscrivere il file (il contenuto precedente è stato "
                        "ripristinato)"});
        }
        ThrowErrno(err, path,
                   {"cannot write the file in place; its previous content is kept in " + backupName,
                    "impossibile riscrivere il file; il contenuto precedente è conservato in " +
                        backupName});
    }
    ::unlink(backupName.c_str());
    SyncFolder(folder);
}

} // namespace

void ReplaceFileAtomically(const std::string& path,
                           const std::function<void(const std::string& tempPath)>& fill,
                           const AtomicWriteOptions& options) {
    if (path.empty())
        throw CFileException(CFileException::fileNotFound, path,
                             CMessage("cannot write: the path is empty",
                                      "impossibile scrivere: il percorso è vuoto"));
    try {
        const std::string target = FollowSymbolicLinks(path);
        struct stat st {};
        bool exists = true;
        if (::lstat(target.c_str(), &st) != 0) {
            if (errno != ENOENT)
                ThrowErrno(errno, path, {"cannot write", "impossibile scriverlo"});
            exists = false;
        }
        if (exists)
            CheckTarget(path, target, st, options);

        const std::string folder = FolderOf(target), base = BaseOf(target);
        RemoveStaleTemporaries(folder, base);
        CTemporary temp(path, folder, base, options.unnamedTemporary);
        fill(temp.FillPath());
        if (::fsync(temp.Fd()) != 0 && errno != EINVAL)
            ThrowErrno(errno, path, {"cannot flush to disk", "impossibile scrivere sul disco"});

        if (exists && st.st_nlink > 1) {
            WriteInPlace(path, target, st, temp, options.unnamedTemporary);
            return;
        }
        // The owner and group first: changing them may clear set-id bits.
        if (exists && ::fchown(temp.Fd(), st.st_uid, st.st_gid) != 0 && errno != EPERM)
            ThrowErrno(errno, path,
                       {"cannot give the new file the owner of the old one",
                        "impossibile dare al nuovo file il proprietario del "
                        "precedente"});
        if (::fchmod(temp.Fd(), exists ? st.st_mode & 07777 : DefaultMode()) != 0)
            ThrowErrno(errno, path,
                       {"cannot set the mode of the new file",
                        "impossibile impostare i permessi del nuovo file"});
        // What stands at the target may have changed while the bytes were written.
        struct stat now {};
        if (::lstat(target.c_str(), &now) == 0 && !S_ISLNK(now.st_mode))
            CheckTarget(path, target, now, options);
        temp.RenameOver(target);
        SyncFolder(folder);
    } catch (const CFileException& e) {
        if (e.m_file_name == path)
            throw;
        // Report the file the user asked for, not the temporary one.
        CFileException again(e.m_cause, path, e.m_detail);
        again.m_detail_italian = e.m_detail_italian;
        throw again;
    }
}

std::string FollowSymbolicLinks(const std::string& path) {
    std::string current = path;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        if (hops == kMaxSymlinks)
            throw CFileException(CFileException::generic, path,
                                 CMessage("cannot write: too many levels of symbolic links",
                                          "impossibile scriverlo: troppi livelli di collegamenti "
                                          "simbolici"));
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n < 0)
            ThrowErrno(errno, path, FollowLink(current));
        if (static_cast<std::size_t>(n) >= target.size())
            ThrowErrno(ENAMETOOLONG, path, FollowLink(current));
        target.resize(static_cast<std::size_t>(n));
        current = target.front() == '/' ? target : FolderOf(current) + "/" + target;
    }
}

std::string InPlaceBackupPath(const std::string& path, int fd) {
    const std::string target = FollowSymbolicLinks(path);
    return FolderOf(target) + "/." + BaseOf(target) + kBackupTag + FileId(fd);
}

bool HasInterruptedSave(const std::string& path, int fd) {
    return !FindBackups(FolderOf(FollowSymbolicLinks(path)), fd).empty();
}

CMessage RestoreInterruptedSave(const std::string& path, int fd) {
    const std::string folder = FolderOf(FollowSymbolicLinks(path));
    const std::vector<std::string> backups = FindBackups(folder, fd);
    if (backups.empty())
        return {};
    // Under the lock there is one save at a time, so there is one backup; any
    // other is as old as the file's last whole version and goes with it.
    const std::string& backup = backups.front();
    if ((::fcntl(fd, F_GETFL) & O_ACCMODE) == O_RDONLY)
        ThrowErrno(EACCES, path, CannotPutBack(backup));
    const CDescriptor old(::open(backup.c_str(), O_RDONLY | O_CLOEXEC));
    if (old.Get() < 0)
        ThrowErrno(errno, path,
                   {"a save of this file was interrupted and its previous version is kept in " +
                        backup + ", which cannot be read",
                    "un salvataggio di questo file è stato interrotto e la sua versione "
                    "precedente è conservata in " +
                        backup + ", che non si può leggere"});
    if (const int err = CopyContent(old.Get(), fd))
        ThrowErrno(err, path, CannotPutBack(backup));
    for (const std::string& name : backups)
        ::unlink(name.c_str());
    SyncFolder(folder);
    return {"a save of this file was interrupted while it was written in place; its previous "
            "version was put back from " +
                BaseOf(backup),
            "un salvataggio di questo file è stato interrotto mentre lo si riscriveva; la sua "
            "versione precedente è stata ripristinata da " +
                BaseOf(backup)};
}

void RefuseSameFile(const std::string& output, const std::vector<NamedInput>& inputs) {
    struct stat out {};
    if (::stat(output.c_str(), &out) != 0)
        return;
    for (const NamedInput& input : inputs) {
        struct stat in {};
        if (::stat(input.path.c_str(), &in) == 0 && in.st_dev == out.st_dev &&
            in.st_ino == out.st_ino)
            throw CFileException(
                CFileException::accessDenied, output,
                CMessage("it is the same file as the " + input.role + " " + input.path +
                             "; refusing to overwrite it",
                         "è lo stesso file di " + input.path + ", che non viene sovrascritto"));
    }
}
