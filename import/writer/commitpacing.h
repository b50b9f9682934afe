#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

namespace brevik {

namespace db {
class Database;
}

// When the writer commits, and how it leaves the database to other programs between commits.
//
// Every commit writes the pages its customers changed, and the name indexes change all over:
// fewer, larger commits save most of that writing. So customers share a commit, up to a number
// of them or a time; half a second keeps other programs waiting for the database at most that
// long. A program that waits through SQLite's own busy wait asks again every 100 ms at most,
// and would rarely hit the moment between two commits: so now and then the database is left
// free for that long after a commit, every two seconds, or every half second once another
// program has been seen writing during the run.
class CommitPacing
{
public:
    // How many customers may share one commit, and for how long a commit may wait.
    void setLimits(int customers, int milliseconds);
    // Whether the database is left free now and then after a commit: not for a database that
    // no other program uses.
    void setPauses(bool pauses) { m_pauses = pauses; }

    // A transaction began: a new batch starts.
    void batchBegun();
    // The batch's time starts again, after work that belongs to no customer of it.
    void restartBatchTime() { m_batchTimer.start(); }
    // Whether the database may have changed since the last look, through another program's
    // commit: true also when that cannot be told, and at the first look at a database.
    [[nodiscard]] bool databaseChanged(db::Database& database);
    // The next look is the first at a database.
    void forgetDatabase() { m_dataVersion = -1; }

    // One more customer joined the batch; whether the batch is to be committed now. Messages
    // waiting to be shown make it due, so that no message box holds the database locked.
    [[nodiscard]] bool customerAdded(bool messagesWaiting);
    // After a commit: leaves the database free for a moment when it is time.
    void afterCommit();

private:
    static constexpr int PauseMs = 100;

    int m_batchCustomers = 0;
    QElapsedTimer m_batchTimer;
    int m_batchLimit = 50000;
    int m_batchMilliseconds = 250;
    qint64 m_dataVersion = -1; // as seen at the start of the last transaction
    QElapsedTimer m_sincePause;
    bool m_othersWriting = false;
    bool m_pauses = true;
};

} // namespace brevik
