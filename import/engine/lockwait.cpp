#include "lockwait.h"

namespace brevik::db {
namespace {

thread_local LockWaitListener* listening = nullptr;

} // namespace

void setLockWaitListener(LockWaitListener* listener)
{
    listening = listener;
}

void noteLockWait()
{
    if (listening)
        listening->waitingForLock();
}

} // namespace brevik::db
