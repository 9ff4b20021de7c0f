#include "WholeFile.h"

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

bool WholeFile::open()
{
    // Unbuffered, so that each write reaches the file system and a full one answers it.
    return m_file.isOpen() || m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || fail();
}

bool WholeFile::commit(const QByteArray& bytes)
{
    if (!open())
        return false;
    // QSaveFile::commit() renames whatever reached the disk, even a file cut short; every byte
    // must be written first. A write cut short is tried on, so that the file system says why
    // it stopped.
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = m_file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return fail();
        done += written;
    }
#ifdef Q_OS_UNIX
    // A file system may take the bytes and find out only when writing them back that there is
    // no room or the stick is gone, which commit() does not report. One that cannot sync at all
    // (it says so with another error) is trusted as QSaveFile trusts it.
    if (::fsync(m_file.handle()) != 0 && (errno == EIO || errno == ENOSPC || errno == EDQUOT)) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
#endif
    return m_file.commit() || fail();
}

bool WholeFile::fail()
{
    m_error = m_file.errorString();
    return false;
}
