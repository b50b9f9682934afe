#pragma once

#include <QLockFile>
#include <QString>
#include <QTemporaryDir>

#include <optional>

namespace brevik {

// The folder a plan works in, of its own under a parent folder (the system's temporary folder):
// made when the plan starts and removed, with everything in it, when the plan ends. A lock file
// inside tells a plan that still runs from one that was killed, whose folder nothing else would
// ever remove. So every plan that starts first removes the folders of the plans that no longer
// run; a folder without its lock (a plan killed as it began) goes once it is a day old.
class PlanFolder
{
public:
    explicit PlanFolder(const QString& parent);
    PlanFolder(const PlanFolder&) = delete;
    PlanFolder& operator=(const PlanFolder&) = delete;
    ~PlanFolder() = default;

    [[nodiscard]] bool isValid() const { return m_lock.has_value(); }
    [[nodiscard]] QString path() const { return m_folder.path(); }
    // Why the folder could not be made, in words.
    [[nodiscard]] QString errorString() const { return m_error; }

    // Removes the folders of plans that no longer run from the parent folder.
    static void removeEndedPlans(const QString& parent);

    // The name of the lock file inside each plan's folder.
    static constexpr const char* LockName = "plan.lock";

private:
    QTemporaryDir m_folder;
    std::optional<QLockFile> m_lock; // after the folder, so that it is given back before the folder goes
    QString m_error;
};

} // namespace brevik
