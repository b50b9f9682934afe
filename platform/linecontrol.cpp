#include "linecontrol.h"

#include <QPainter>
#include <QPen>

#include <algorithm>

namespace brevik::ui {

LineControl::LineControl(QLine line, QColor colour, int width, QWidget* parent)
    : QWidget(parent)
    , m_line(line)
    , m_colour(colour.isValid() ? colour : QColor(Qt::black))
    , m_width(std::max(1, width))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    const int left = std::min(line.x1(), line.x2());
    const int top = std::min(line.y1(), line.y2());
    const int right = std::max(line.x1(), line.x2());
    const int bottom = std::max(line.y1(), line.y2());
    setGeometry(left, top, right - left + m_width, bottom - top + m_width);
}

void LineControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QPen(m_colour, m_width, Qt::SolidLine, Qt::FlatCap));
    const QPoint origin = pos();
    const qreal half = m_width / 2.0;
    painter.drawLine(QPointF(m_line.p1() - origin) + QPointF(0, half),
                     QPointF(m_line.p2() - origin) + QPointF(0, half));
}

} // namespace brevik::ui
