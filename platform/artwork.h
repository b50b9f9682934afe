#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace brevik::ui {

// The program's own artwork, kept in its resources: the window icon (32 x 32 and 16 x 16),
// the about box's picture and the splash window's background.
[[nodiscard]] QIcon windowIcon();
[[nodiscard]] QPixmap artworkPixmap(const QString& resource);

} // namespace brevik::ui
