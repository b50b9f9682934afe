#include "userinputblocker.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace brevik::ui {
namespace {

bool isOperatorInput(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
        return true;
    case QEvent::Close:
        // Only the window system's close request; a window the program itself closes still closes.
        return event->spontaneous();
    default:
        return false;
    }
}

bool isInActiveModalWindow(QObject* target)
{
    const QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return false;
    if (const auto* widget = qobject_cast<QWidget*>(target))
        return widget->window() == modal;
    if (const auto* window = qobject_cast<QWindow*>(target))
        return window == modal->windowHandle();
    return false;
}

} // namespace

UserInputBlocker::UserInputBlocker(std::function<void(QWindow*)> onCloseRequest, QObject* parent)
    : QObject(parent)
    , m_onCloseRequest(std::move(onCloseRequest))
{
    QCoreApplication::instance()->installEventFilter(this);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

UserInputBlocker::~UserInputBlocker()
{
    // Input that arrived since the last repaint is still waiting; it is thrown away here
    // rather than delivered once the step is over.
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
}

bool UserInputBlocker::eventFilter(QObject* watched, QEvent* event)
{
    if (!isOperatorInput(event) || isInActiveModalWindow(watched))
        return false;
    // A close request must be turned down, not only swallowed, or the window closes anyway; a
    // key claimed by the window is never tried as a shortcut.
    if (event->type() == QEvent::Close) {
        event->ignore();
        if (m_onCloseRequest) {
            // The window system asks the window's own handle; a widget is asked on its behalf.
            auto* window = qobject_cast<QWindow*>(watched);
            if (const auto* widget = qobject_cast<QWidget*>(watched); !window && widget)
                window = widget->windowHandle();
            m_onCloseRequest(window);
        }
    } else if (event->type() == QEvent::ShortcutOverride)
        event->accept();
    return true;
}

MessageCursor::MessageCursor()
{
    const QCursor* cursor = QApplication::overrideCursor();
    if (cursor && cursor->shape() == Qt::WaitCursor) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        m_set = true;
    }
}

MessageCursor::~MessageCursor()
{
    if (m_set)
        QApplication::restoreOverrideCursor();
}

} // namespace brevik::ui
