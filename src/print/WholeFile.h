#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// A results file written whole beside its target and put in place only once every byte has
// reached the disk. Until then, and whenever anything fails (a full or removed USB stick), the
// file of that name stays as it was and nothing half written is left behind.
class WholeFile
{
public:
    explicit WholeFile(const QString& path) : m_file(path) {}

    // Whether the file can be made there at all: its folder exists and may be written.
    bool open();
    // Writes bytes and puts the file in place; false leaves the target untouched.
    bool commit(const QByteArray& bytes);
    // Why open() or commit() failed, in the file system's words.
    QString errorString() const { return m_error; }

private:
    bool fail();

    QSaveFile m_file;
    QString m_error;
};
