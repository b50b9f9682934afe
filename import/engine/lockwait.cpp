#include "lockwait.h"

#include <sqlite3.h>

#include <QElapsedTimer>

namespace brevik::db {
namespace {

thread_local LockWaitListener* listening = nullptr;

} // namespace

void setLockWaitListener(LockWaitListener* listener)
{
    listening = listener;
}

bool waitForLock(int attempts, int timeoutMs)
{
    thread_local QElapsedTimer waiting;
    if (attempts == 0) {
        waiting.start();
        if (listening)
            listening->waitingForLock();
    }
    if (waiting.elapsed() >= timeoutMs)
        return false;
    sqlite3_sleep(1);
    return true;
}

} // namespace brevik::db
