#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace brevik::ui {

// What the save-file dialog is prepared with.
struct SaveFileRequest
{
    QString title;
    QString suggestedPath; // the file the dialog proposes, in the folder it opens in
    QString filter;        // the name of the one filter; it lists files named *.<filter>
};

// Shows the platform's save-file dialog and waits until it closes: the full path of the file to
// write, or nothing when the operator cancelled. The dialog asks before it names a file that is
// there already.
[[nodiscard]] std::optional<QString> askSaveFile(QWidget* parent, const SaveFileRequest& request);

// Tests answer the dialog in its place; an empty function restores the platform's dialog.
using SaveFileDialog = std::function<std::optional<QString>(QWidget* parent, const SaveFileRequest&)>;
void setSaveFileDialog(SaveFileDialog dialog);

} // namespace brevik::ui
