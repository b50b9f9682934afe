#pragma once

#include <QWidget>

namespace brevik::ui {

// The folder-settings window: where the operator names the Orvella data folder and the
// QuickBooks folder.
class frmPath final : public QWidget
{
    Q_OBJECT

public:
    explicit frmPath(QWidget* parent = nullptr);
};

} // namespace brevik::ui
