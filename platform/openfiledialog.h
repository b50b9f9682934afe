#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace brevik::ui {

// What the open-file dialog is prepared with.
struct OpenFileRequest
{
    QString title;
    QString fileName; // initial file name, may hold a wildcard
    QString folder;   // initial folder
    QString filter;   // the name of the one filter; it lists files named *.<filter>
};

// Shows the platform's open-file dialog and waits until it closes: the full path of the chosen
// file, or nothing when the operator cancelled.
[[nodiscard]] std::optional<QString> askOpenFile(QWidget* parent, const OpenFileRequest& request);

// Tests answer the dialog in its place; an empty function restores the platform's dialog.
using OpenFileDialog = std::function<std::optional<QString>(QWidget* parent, const OpenFileRequest&)>;
void setOpenFileDialog(OpenFileDialog dialog);

} // namespace brevik::ui
