#pragma once

#include <QLockFile>
#include <QString>

namespace brevik {

class Reporter;

// Keeps other runs away from QBCUST.TXT of one QuickBooks folder while a run writes it and reads
// it back: an advisory lock on the file "QBCUST.TXT.lock" in that folder, which every run that
// extracts or strips takes first, the windows and the tool alike. Without it, two imports into
// one folder could each strip the other's export. The lock is given back when the object goes.
class QuickBooksFolderLock
{
public:
    explicit QuickBooksFolderLock(const QString& quickBooksFolder);
    QuickBooksFolderLock(const QuickBooksFolderLock&) = delete;
    QuickBooksFolderLock& operator=(const QuickBooksFolderLock&) = delete;
    ~QuickBooksFolderLock() = default;

    // Takes the lock at once, never waiting. When another run holds it, reports so, naming the
    // folder, and returns false. A lock left behind by a run that no longer runs is taken over.
    // Where the folder cannot hold the lock file (it is missing or read-only), no run can write
    // QBCUST.TXT there either: the step goes on and meets the folder's own failure.
    [[nodiscard]] bool take(Reporter& reporter);
    // Gives the lock back before the object goes.
    void release() { m_lock.unlock(); }

    [[nodiscard]] QString path() const { return m_path; }

    // A lock older than this is taken over even when its run cannot be asked whether it still
    // runs (it ran on another computer that shares the folder).
    static constexpr int StaleAfterMs = 24 * 60 * 60 * 1000;

private:
    QString m_folder;
    QString m_path;
    QLockFile m_lock;
};

} // namespace brevik
