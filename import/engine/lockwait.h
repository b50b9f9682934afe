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

// The busy handlers call it as they begin a wait.
void noteLockWait();

} // namespace brevik::db
