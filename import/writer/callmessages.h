#pragma once

#include "import/engine/status.h"

#include <QString>
#include <QStringList>

namespace brevik {

// The messages of one customer's write, in the order they arise. The writer shows them once
// the customer's rows are committed, so that no message box ever holds the database locked.
class CallMessages
{
public:
    // True when the step succeeded; otherwise notes "Error Number equals N" and returns false,
    // so that the writer passes over the failed step and goes on.
    bool ok(const db::Status& status);
    void add(const QString& message) { m_messages.append(message); }

    [[nodiscard]] bool isEmpty() const { return m_messages.isEmpty(); }
    [[nodiscard]] QStringList take();

    // "Error Number equals 94": the number written with one blank before it.
    [[nodiscard]] static QString errorNumber(int number);
    [[nodiscard]] static QString recordNotFound();
    // The customer as a message names it: its name, and its row where the caller gave one.
    [[nodiscard]] static QString customerCalled(const QString& name, qint64 row);
    // No client number can be given: the highest one is the largest that reads back.
    [[nodiscard]] static QString noClientNumber(const QString& name, qint64 row);
    // The database cannot be opened, for the reason the status gives.
    [[nodiscard]] static QString cannotOpen(const QString& path, const db::Status& status);
    // Another program kept the database locked beyond the wait for it.
    [[nodiscard]] static QString locked(const QString& path);

private:
    QStringList m_messages;
};

} // namespace brevik
