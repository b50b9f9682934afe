#pragma once

namespace brevik::db {

// Told when a connection of this thread begins to wait for another program's lock on a database,
// which may take seconds: a window shows meanwhile that it is waiting. One per thread, so that a
// plan on a thread of its own never reaches a window's controls; none by default.
class LockWaitListener
{
public:
    virtual ~LockWaitListener() = default;
    virtual void waitingForLock() = 0;
};

void setLockWaitListener(LockWaitListener* listener);

// One turn of a connection's wait for another program's lock, as SQLite's busy handler: tells
// the thread's listener as the wait begins, and asks again every millisecond up to timeoutMs, so
// that the moment between two transactions of a program that writes often is not missed. True
// while the wait goes on.
[[nodiscard]] bool waitForLock(int attempts, int timeoutMs);

} // namespace brevik::db
