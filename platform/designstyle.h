#pragma once

#include <QProxyStyle>

namespace brevik::ui {

// The program's look: Fusion, but command buttons and drive lists are drawn flat in the colours
// their palettes give them, with a raised edge, instead of Fusion's gradients, which would turn
// the design's beige and light cyan nearly white.
class DesignStyle final : public QProxyStyle
{
    Q_OBJECT

public:
    DesignStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    // A lone Alt reaches the menu bar, as it does on the desktops the operators know.
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;
};

} // namespace brevik::ui
