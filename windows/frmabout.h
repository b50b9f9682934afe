#pragma once

#include <QWidget>

namespace brevik::ui {

// The about box: title, version, description and legal notice; it can start the system's
// information program.
class frmAbout final : public QWidget
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);
};

} // namespace brevik::ui
