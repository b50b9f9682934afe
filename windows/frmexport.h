#pragma once

#include "platform/formdesign.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace brevik::ui {

// Instructions for producing the customer export in QuickBooks, which can be printed.
class frmExport final : public QWidget
{
    Q_OBJECT

public:
    explicit frmExport(QWidget* parent = nullptr);

    [[nodiscard]] const DesignedControls& controls() const { return m_controls; }

    QLabel* lblInstruct = nullptr;
    QPushButton* cmdPrint = nullptr;

public Q_SLOTS:
    void cmdPrint_Click();

private:
    void Form_Load();

    DesignedControls m_controls;
};

// The instructions the window shows, as one text that the label wraps.
[[nodiscard]] QString exportInstructions();

} // namespace brevik::ui
