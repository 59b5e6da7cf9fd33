"""Files on the disk as TELMOR's saves treat them: each written to a
temporary of its own beside its target (created new, never through a link),
pushed to the disk and renamed over the target only when whole; and read
only from regular files, opened without waiting, within a bound."""
import errno
import os
import stat

from . import _core

# Names drawn before a save gives up: each one taken means another writer (or
# something planted) holds it, which six random letters make rare.
_NAME_ATTEMPTS = 100
_CHUNK = 1 << 20


class NotAFile(OSError):
    """What stands at a path is no regular file (a FIFO, a device, a socket)."""


def kind(mode):
    """What a file of mode is, in words."""
    if stat.S_ISDIR(mode):
        return "a folder"
    if stat.S_ISFIFO(mode):
        return "a FIFO"
    if stat.S_ISCHR(mode) or stat.S_ISBLK(mode):
        return "a device"
    if stat.S_ISSOCK(mode):
        return "a socket"
    if stat.S_ISLNK(mode):
        return "a link"
    return "a file"


def remove_quietly(path):
    try:
        os.unlink(path)
    except OSError:
        pass


def sync_folder(folder):
    """Pushes the folder's entries to the disk; a folder that cannot be is no
    failure: the files are already in place."""
    try:
        fd = os.open(folder, os.O_RDONLY | os.O_DIRECTORY | os.O_CLOEXEC)
    except OSError:
        return
    try:
        os.fsync(fd)
    except OSError:
        pass
    finally:
        os.close(fd)


def check_folder(folder):
    """The folder a file is written in must stand there as a folder."""
    status = os.stat(folder)  # FileNotFoundError for a missing one
    if not stat.S_ISDIR(status.st_mode):
        raise NotADirectoryError(errno.ENOTDIR, os.strerror(errno.ENOTDIR), str(folder))


def check_replaceable(target, holds_ours):
    """Refuses a target that a save must not replace. Seen through a link (a
    link is replaced as a link, what it points at left alone): nothing, or a
    regular file that is empty or holds_ours(target), may be replaced; a
    folder, FIFO, device or socket, or a file holding something else, not."""
    try:
        status = os.stat(target)
    except FileNotFoundError:
        return  # nothing there, or a link to nothing
    if stat.S_ISDIR(status.st_mode):
        raise IsADirectoryError(errno.EISDIR, "a folder stands there: a save replaces only a file", str(target))
    if not stat.S_ISREG(status.st_mode):
        raise OSError(f"{str(target)!r} is {kind(status.st_mode)}: a save replaces nothing but a regular file")
    if status.st_size > 0 and not holds_ours(target):
        raise FileExistsError(errno.EEXIST, "it holds something other than a saved TELMOR analysis and is left "
                              "as it is (remove it, or save elsewhere)", str(target))


def write_temporary(target, write):
    """A temporary of target, created new beside it under a name no other
    writer uses (never through a link or a file that stands there), filled by
    write(file), pushed to the disk and closed: its path. On any failure the
    temporary is removed and the failure raised."""
    for _ in range(_NAME_ATTEMPTS):
        name = _core._temporary_name(target)
        try:
            fd = os.open(name, os.O_WRONLY | os.O_CREAT | os.O_EXCL | os.O_NOFOLLOW | os.O_CLOEXEC, 0o666)
        except FileExistsError:
            continue
        break
    else:
        raise FileExistsError(errno.EEXIST, "every name for a temporary beside it is taken", str(target))
    try:
        with os.fdopen(fd, "wb") as file:
            write(file)
            file.flush()
            os.fsync(file.fileno())
    except BaseException:
        remove_quietly(name)
        raise
    return name


def replace_file(target, write, holds_ours):
    """Replaces the file at target with what write(file) writes, whole or not
    at all: the old file is kept on any failure."""
    target = os.fspath(target)
    folder = os.path.dirname(target) or "."
    check_folder(folder)
    check_replaceable(target, holds_ours)
    _core._remove_stale_temporaries(target)  # first, so that a disk filled by killed writers has room
    temporary = write_temporary(target, write)
    try:
        os.replace(temporary, target)
    except BaseException:
        remove_quietly(temporary)
        raise
    sync_folder(folder)


def _backup(member):
    """A second name (a temporary's) for the file or link at member, so that
    it can be put back; None where nothing stands there or the file system
    has no hard links."""
    for _ in range(_NAME_ATTEMPTS):
        name = _core._temporary_name(member)
        try:
            os.link(member, name, follow_symlinks=False)
        except FileExistsError:
            continue
        except OSError:
            return None
        return name
    return None


def replace_members(folder, members):
    """Replaces the files of folder named in members, [(name, write)], as one:
    every new file is written to its temporary first (a failure there leaves
    every old file as it was), then each is renamed over its name in the
    order given, the old ones kept under second names until all are in place
    and put back when a rename fails."""
    written = []
    try:
        for name, write in members:
            target = os.path.join(folder, name)
            _core._remove_stale_temporaries(target)
            written.append((target, write_temporary(target, write)))
    except BaseException:
        for _, temporary in written:
            remove_quietly(temporary)
        raise
    kept = {target: _backup(target) for target, _ in written if os.path.lexists(target)}
    placed = []
    try:
        for target, temporary in written:
            os.replace(temporary, target)
            placed.append(target)
    except BaseException:
        for target in reversed(placed):
            try:
                if kept.get(target):
                    os.replace(kept.pop(target), target)
                elif target not in kept:
                    os.unlink(target)  # new with this save
            except OSError:
                pass
        for _, temporary in written:
            remove_quietly(temporary)
        for backup in kept.values():
            if backup:
                remove_quietly(backup)
        raise
    for backup in kept.values():
        if backup:
            remove_quietly(backup)
    sync_folder(folder)


def open_regular(path):
    """The regular file at path open for reading, and its size. It is opened
    without waiting and checked on the open descriptor, so a FIFO or device
    is never waited on or read. FileNotFoundError and PermissionError as the
    system says, IsADirectoryError for a folder, NotAFile for anything else."""
    fd = os.open(path, os.O_RDONLY | os.O_NONBLOCK | os.O_NOCTTY | os.O_CLOEXEC)
    try:
        status = os.fstat(fd)
        if stat.S_ISDIR(status.st_mode):
            raise IsADirectoryError(errno.EISDIR, os.strerror(errno.EISDIR), str(path))
        if not stat.S_ISREG(status.st_mode):
            raise NotAFile(f"{str(path)!r} is {kind(status.st_mode)}, not a file")
        os.set_blocking(fd, True)
        return os.fdopen(fd, "rb"), status.st_size
    except BaseException:
        os.close(fd)
        raise


def read_bounded(stream, limit):
    """At most limit bytes of stream, and whether there were more."""
    chunks, total = [], 0
    while total <= limit:
        chunk = stream.read(min(_CHUNK, limit + 1 - total))
        if not chunk:
            break
        chunks.append(chunk)
        total += len(chunk)
    data = b"".join(chunks)
    return data[:limit], total > limit


def read_exactly(stream, count):
    """count bytes of stream, or fewer where it ends before."""
    chunks, total = [], 0
    while total < count:
        chunk = stream.read(min(_CHUNK, count - total))
        if not chunk:
            break
        chunks.append(chunk)
        total += len(chunk)
    return b"".join(chunks)
