#pragma once

#include <QColor>
#include <QLine>
#include <QWidget>

namespace brevik::ui {

// A line drawn between two points of its parent, like the designer's line control. The widget
// covers the box of the two points and draws nothing else.
class LineControl final : public QWidget
{
    Q_OBJECT

public:
    LineControl(QLine line, QColor colour, int width, QWidget* parent = nullptr);

    [[nodiscard]] QLine line() const { return m_line; }
    [[nodiscard]] QColor colour() const { return m_colour; }
    [[nodiscard]] int lineWidth() const { return m_width; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLine m_line; // in the parent's pixels
    QColor m_colour;
    int m_width = 1;
};

} // namespace brevik::ui
