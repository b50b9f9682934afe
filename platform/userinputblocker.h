#pragma once

#include <QObject>

#include <functional>

class QWindow;

namespace brevik::ui {

// While it lives, the operator's input to the program's windows (mouse, keys, wheel, shortcuts
// and close requests from the title bar) is thrown away instead of queued, so that a window can
// repaint in the middle of a long step without taking a command, and the wait cursor says so. A
// modal message box that the step shows still takes its input, or the step could never go on;
// MessageCursor gives it the ordinary cursor meanwhile. A close request is turned down too, but
// handed to onCloseRequest, where one is given, with the window it was meant for, so that the
// step can end early and the window close after it.
class UserInputBlocker final : public QObject
{
    Q_OBJECT

public:
    explicit UserInputBlocker(std::function<void(QWindow*)> onCloseRequest = {}, QObject* parent = nullptr);
    ~UserInputBlocker() override;
    UserInputBlocker(const UserInputBlocker&) = delete;
    UserInputBlocker& operator=(const UserInputBlocker&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(QWindow*)> m_onCloseRequest;
};

// While it lives, the ordinary arrow cursor stands over a wait cursor set by UserInputBlocker.
class MessageCursor final
{
public:
    MessageCursor();
    ~MessageCursor();
    MessageCursor(const MessageCursor&) = delete;
    MessageCursor& operator=(const MessageCursor&) = delete;

private:
    bool m_set = false;
};

} // namespace brevik::ui
