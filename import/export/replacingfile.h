#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QString>

namespace brevik {

// A file written whole under a name of its own beside the final one, and put in the final
// place by commit() in one step, replacing any earlier file. Until then, and after any
// failure, the earlier file stays as it was; an uncommitted file is removed. One that a
// stopped run left behind ("QBCUST.TXT.1a2b3c4d.tmp") is removed by open() once it is a day old.
// On Unix the new file takes over the earlier file's mode only where that is an ordinary file
// of the running user's own, and never lets every user, or a group the running user does not
// belong to, write to it.
//
// QSaveFile gives the same guarantee but forces the whole file to disk before the rename,
// which for a large export takes several times as long as the copy itself. The files written
// here are made again from their source on every run, so what matters is that a failed run
// never leaves half a file, not that a finished one survives a power cut.
class ReplacingFile
{
public:
    explicit ReplacingFile(QString path);
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    ~ReplacingFile();

    [[nodiscard]] bool open();
    [[nodiscard]] QIODevice& device() { return m_file; }
    // Forces what was written so far through to the disk, so that a disk without room says so
    // now rather than at the commit; false, with the reason in errorString(), when it cannot.
    [[nodiscard]] bool writeThrough();
    [[nodiscard]] bool commit();

    [[nodiscard]] QString errorString() const { return m_error; }

private:
    QString m_path;
    QFile m_file;
    bool m_committed = false;
    QString m_error;
};

// Writes every byte. A write that stops short is tried again for the rest, so that the system
// names its cause (the first try of a full disk only stops short, without one).
[[nodiscard]] bool writeAll(QIODevice& device, QByteArrayView bytes);

// Why a write failed, in words: "the disk is full" when that is the cause.
[[nodiscard]] QString writeFailure(const QIODevice& device);

} // namespace brevik
