#pragma once

#include <QWidget>

namespace brevik::ui {

// The splash window the program starts on.
class frmSplash final : public QWidget
{
    Q_OBJECT

public:
    explicit frmSplash(QWidget* parent = nullptr);
};

} // namespace brevik::ui
