#include "windowplacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace brevik::ui {
namespace {

QRect screenArea(const QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// The top left corner of the frame that centres a window of this size and frame on the area.
QPoint centredFrame(const QRect& area, const QSize& size, const QSize& frame)
{
    return area.topLeft() + QPoint((area.width() - size.width() - frame.width()) / 2,
                                   (area.height() - size.height() - frame.height()) / 2);
}

// Waits for the window manager to frame the window, then moves the window by its frame. The
// position is worked out anew from the size the window opened with, so a size the window has
// taken meanwhile, or a position not yet confirmed by the window manager, does not move it.
class FrameCentring final : public QObject
{
public:
    FrameCentring(QWidget* window, QSize openingSize)
        : QObject(window->windowHandle())
        , m_window(window)
        , m_openingSize(openingSize)
    {
        window->windowHandle()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && m_window && m_window->windowHandle() == watched &&
            m_window->windowHandle()->isExposed()) {
            const QSize frame = m_window->frameGeometry().size() - m_window->geometry().size();
            const QRect area = screenArea(m_window);
            if (area.isValid()) {
                const QPoint target = centredFrame(area, m_openingSize, frame);
                if (m_window->pos() != target)
                    m_window->move(target);
            }
            deleteLater();
        }
        return false;
    }

private:
    QPointer<QWidget> m_window;
    QSize m_openingSize;
};

} // namespace

void showCentred(QWidget* window)
{
    const QRect area = screenArea(window);
    const QSize size = window->size();
    if (area.isValid())
        window->move(centredFrame(area, size, window->frameGeometry().size() - size));
    window->show();
    if (area.isValid() && window->windowHandle())
        new FrameCentring(window, size);
}

} // namespace brevik::ui
