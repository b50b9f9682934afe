#pragma once

#include "import/reporter.h"

class QWidget;

namespace brevik::ui {

// Shows each message to the operator in a modal box titled "Brevik" with an OK button, and each
// question with Yes and No.
class MessageBoxReporter final : public Reporter
{
public:
    void report(const QString& message) override;
    // Yes and No, No the default: a hurried Enter does not put a backup back.
    bool confirm(const QString& question) override;
};

// The reporter every window uses. Tests put a capturing reporter in its place.
[[nodiscard]] Reporter& operatorMessages();
void setOperatorMessages(Reporter* reporter);

} // namespace brevik::ui
