#include "openfiledialog.h"

#include <QDir>
#include <QFileDialog>

namespace brevik::ui {
namespace {

OpenFileDialog& installed()
{
    static OpenFileDialog dialog;
    return dialog;
}

std::optional<QString> platformDialog(QWidget* parent, const OpenFileRequest& request)
{
    QFileDialog dialog(parent, request.title, request.folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Like the dialog's designed settings, no flags: a name the operator types need not exist.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("%1 (*.%1)").arg(request.filter));
    dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

} // namespace

std::optional<QString> askOpenFile(QWidget* parent, const OpenFileRequest& request)
{
    if (installed())
        return installed()(parent, request);
    return platformDialog(parent, request);
}

void setOpenFileDialog(OpenFileDialog dialog)
{
    installed() = std::move(dialog);
}

} // namespace brevik::ui
