#include "designstyle.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

namespace brevik::ui {
namespace {

// A flat face with a raised edge of two lines, or a sunken one of one line while pressed.
void drawButtonFace(QPainter* painter, QRect rect, const QPalette& palette, const QBrush& face, bool sunken)
{
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->fillRect(rect, face);
    const auto edge = [painter](QRect r, const QColor& topLeft, const QColor& bottomRight) {
        painter->setPen(topLeft);
        painter->drawLine(r.topLeft(), r.topRight());
        painter->drawLine(r.topLeft(), r.bottomLeft());
        painter->setPen(bottomRight);
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        painter->drawLine(r.topRight(), r.bottomRight());
    };
    if (sunken) {
        edge(rect, palette.color(QPalette::Dark), palette.color(QPalette::Dark));
    } else {
        edge(rect, palette.color(QPalette::Light), palette.color(QPalette::Shadow));
        edge(rect.adjusted(1, 1, -1, -1), face.color(), palette.color(QPalette::Dark));
    }
    painter->restore();
}

} // namespace

DesignStyle::DesignStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{}

int DesignStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                           QStyleHintReturn* returnData) const
{
    if (hint == SH_MenuBar_AltKeyNavigation)
        return 1;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void DesignStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const
{
    if (element != PE_PanelButtonCommand) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    QRect rect = option->rect;
    // The button that Return presses has a dark line around it.
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    if (button && (button->features & QStyleOptionButton::DefaultButton)) {
        painter->save();
        painter->setPen(option->palette.color(QPalette::Shadow));
        painter->drawRect(rect.adjusted(0, 0, -1, -1));
        painter->restore();
        rect.adjust(1, 1, -1, -1);
    }
    drawButtonFace(painter, rect, option->palette, option->palette.button(),
                   option->state & (State_Sunken | State_On));
}

void DesignStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                     QPainter* painter, const QWidget* widget) const
{
    const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
    if (control != CC_ComboBox || !combo || combo->editable) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    // A drive list: a flat field in its own colour, sunken into the window, with a button that
    // opens the list.
    const QPalette& palette = option->palette;
    const QRect rect = option->rect;
    painter->save();
    painter->fillRect(rect, palette.base());
    painter->setPen(palette.color(QPalette::Dark));
    painter->drawLine(rect.topLeft(), rect.topRight());
    painter->drawLine(rect.topLeft(), rect.bottomLeft());
    painter->setPen(palette.color(QPalette::Light));
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->restore();

    const QRect arrowArea = subControlRect(CC_ComboBox, combo, SC_ComboBoxArrow, widget);
    const QRect face = arrowArea.intersected(rect.adjusted(1, 1, -1, -1));
    drawButtonFace(painter, face, palette, palette.button(),
                   combo->activeSubControls == SC_ComboBoxArrow && (combo->state & State_Sunken));
    QStyleOption arrow = *option;
    arrow.rect = face.adjusted(3, 3, -3, -3);
    arrow.palette.setColor(QPalette::ButtonText, palette.color(QPalette::WindowText));
    proxy()->drawPrimitive(PE_IndicatorArrowDown, &arrow, painter, widget);

    if (combo->state & State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(*option);
        focus.rect = subControlRect(CC_ComboBox, combo, SC_ComboBoxEditField, widget);
        focus.backgroundColor = palette.color(QPalette::Base);
        proxy()->drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
    }
}

} // namespace brevik::ui
