#include "savefiledialog.h"

#include <QDir>
#include <QFileDialog>

namespace brevik::ui {
namespace {

SaveFileDialog& installed()
{
    static SaveFileDialog dialog;
    return dialog;
}

std::optional<QString> platformDialog(QWidget* parent, const SaveFileRequest& request)
{
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("%1 (*.%1)").arg(request.filter));
    dialog.setDefaultSuffix(request.filter);
    dialog.selectFile(request.suggestedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

} // namespace

std::optional<QString> askSaveFile(QWidget* parent, const SaveFileRequest& request)
{
    if (installed())
        return installed()(parent, request);
    return platformDialog(parent, request);
}

void setSaveFileDialog(SaveFileDialog dialog)
{
    installed() = std::move(dialog);
}

} // namespace brevik::ui
