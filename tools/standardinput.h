#pragma once

#include "import/reporter.h"

#include <QString>
#include <QTemporaryDir>

#include <optional>

namespace brevik::tool {

// The export given as "-": standard input, copied whole into a file of its own, so that the run
// reads an ordinary file as it reads every export. The file (mode 0600) lies in a folder of its
// own (mode 0700) in the temporary folder, and both go with the copy; a signal that ends the run
// at once removes them too (see InterruptRequests, which the caller holds while the copy lives).
class StandardInputCopy
{
public:
    StandardInputCopy() = default;
    ~StandardInputCopy();
    StandardInputCopy(const StandardInputCopy&) = delete;
    StandardInputCopy& operator=(const StandardInputCopy&) = delete;

    // Copies standard input to its end. False after the message when it could not, and when a
    // signal came meanwhile (InterruptRequests::requested()), which ends the reading.
    [[nodiscard]] bool make(Reporter& reporter);
    [[nodiscard]] QString path() const { return m_path; }

private:
    std::optional<QTemporaryDir> m_folder;
    QString m_path;
};

// The text with the copy of standard input named "standard input" wherever it names its path.
[[nodiscard]] QString namedAsStandardInput(QString text, const QString& copy);

// Passes each message on with the copy of standard input named "standard input".
class StandardInputNaming final : public Reporter
{
public:
    StandardInputNaming(Reporter& next, const QString& copy)
        : m_next(next)
        , m_copy(copy)
    {}
    void report(const QString& message) override { m_next.report(namedAsStandardInput(message, m_copy)); }

private:
    Reporter& m_next;
    QString m_copy;
};

} // namespace brevik::tool
