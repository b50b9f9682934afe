#pragma once

#include <QString>
#include <QStringList>

namespace brevik {

// The one way a message reaches the operator. The window program shows a modal box titled
// "Brevik" with an OK button (Yes and No for a question), the command-line tool prints one line on standard
// error, and tests keep the messages in a list. A call returns once the operator has seen the message.
class Reporter
{
public:
    Reporter() = default;
    Reporter(const Reporter&) = delete;
    Reporter& operator=(const Reporter&) = delete;
    virtual ~Reporter() = default;

    virtual void report(const QString& message) = 0;

    // Asks the operator a question that yes or no answers, before a step that cannot be undone;
    // true for yes. A reporter that cannot ask shows the question and takes it as a no.
    virtual bool confirm(const QString& question)
    {
        report(question);
        return false;
    }
};

// Keeps every message in order; used by tests and by callers that decide later what to show.
class CapturingReporter final : public Reporter
{
public:
    void report(const QString& message) override { m_messages.append(message); }
    // Keeps the question among the messages and gives the answer set for it.
    bool confirm(const QString& question) override
    {
        m_messages.append(question);
        return m_answer;
    }
    void setAnswer(bool yes) { m_answer = yes; }

    [[nodiscard]] const QStringList& messages() const { return m_messages; }
    void clear() { m_messages.clear(); }

private:
    QStringList m_messages;
    bool m_answer = false;
};

} // namespace brevik
