#pragma once

#include <QWidget>

namespace brevik::ui {

// Instructions for producing the customer export in QuickBooks, which can be printed.
class frmExport final : public QWidget
{
    Q_OBJECT

public:
    explicit frmExport(QWidget* parent = nullptr);
};

} // namespace brevik::ui
