#pragma once

#include "platform/formdesign.h"

#include <QWidget>

class QLabel;
class QTimer;

namespace brevik::ui {

// The splash window the program starts on: the title artwork and the version for two seconds,
// then the hand-over to the main window, or to the folder settings when the settings file does
// not give both folders. A key press instead closes it and ends the program.
class frmSplash final : public QWidget
{
    Q_OBJECT

public:
    explicit frmSplash(QWidget* parent = nullptr);

    [[nodiscard]] const DesignedControls& controls() const { return m_controls; }

    // How long the splash shows before the hand-over; tests shorten it. Zero or less restores
    // the design's 2000 milliseconds. Applies to splash windows created afterwards.
    static void setTimerIntervalForTesting(int milliseconds);
    [[nodiscard]] static int timerInterval();

    QTimer* Timer1 = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* lblVersion = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_KeyPress();
    void Timer1_Timer();

    QLabel* m_client = nullptr; // draws the background picture
    DesignedControls m_controls;
    bool m_handingOver = false;
};

// The splash window as it stands when it is created.
[[nodiscard]] const WindowDesign& frmSplashDesign();

} // namespace brevik::ui
