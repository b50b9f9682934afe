#pragma once

#include <QLabel>

namespace brevik::ui {

// The face a data control shows at design time: its caption in a box. The controls are
// hidden; the database work itself is done by the import core.
class DataControlBox final : public QLabel
{
    Q_OBJECT

public:
    explicit DataControlBox(const QString& caption, QWidget* parent = nullptr);
};

} // namespace brevik::ui
