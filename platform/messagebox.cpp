#include "messagebox.h"

#include "platform/formdesign.h"

#include <QApplication>
#include <QMessageBox>

namespace brevik::ui {
namespace {
Reporter*& installed()
{
    static Reporter* reporter = nullptr;
    return reporter;
}
} // namespace

void MessageBoxReporter::report(const QString& message)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Brevik"), message, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    // After the modality, which sets the box's flags anew.
    box.setWindowFlags(fixedDialogFlags());
    box.exec();
}

bool MessageBoxReporter::confirm(const QString& question)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Brevik"), question,
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::No);
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowFlags(fixedDialogFlags());
    return box.exec() == QMessageBox::Yes;
}

Reporter& operatorMessages()
{
    static MessageBoxReporter boxes;
    return installed() ? *installed() : boxes;
}

void setOperatorMessages(Reporter* reporter)
{
    installed() = reporter;
}

} // namespace brevik::ui
