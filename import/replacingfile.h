#pragma once

#include <QFile>
#include <QString>

namespace brevik {

// A file written whole under a name of its own beside the final one, and put in the final
// place by commit() in one step, replacing any earlier file. Until then, and after any
// failure, the earlier file stays as it was; an uncommitted file is removed.
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
    [[nodiscard]] bool commit();

    [[nodiscard]] QString errorString() const { return m_error; }

private:
    QString m_path;
    QFile m_file;
    bool m_committed = false;
    QString m_error;
};

} // namespace brevik
