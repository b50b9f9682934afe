#include "datacontrolbox.h"

namespace brevik::ui {

DataControlBox::DataControlBox(const QString& caption, QWidget* parent)
    : QLabel(caption, parent)
{
    setFrameShape(QFrame::Box);
    setAlignment(Qt::AlignCenter);
}

} // namespace brevik::ui
