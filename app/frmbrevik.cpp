#include "frmbrevik.h"

#include "app/frmbrevik_design.h"

#include <QLineEdit>
#include <QMenuBar>

namespace brevik::ui {

frmBrevik::frmBrevik(QWidget* parent)
    : QMainWindow(parent)
{
    m_client = new QWidget(this);
    setCentralWidget(m_client);
    m_controls.build(m_client, frmBrevikDesign());
    applyWindowDesign(this, m_client, frmBrevikDesign());

    txtHold1 = m_controls.get<QLineEdit>(u"txtHold1");
    txtHold2 = m_controls.get<QLineEdit>(u"txtHold2");
    for (std::size_t i = 0; i < Text1.size(); ++i)
        Text1[i] = m_controls.get<QLineEdit>(QStringLiteral("Text1(%1)").arg(i));
}

void frmBrevik::setHeightTwips(int twips)
{
    const int frame = frameGeometry().height() - geometry().height();
    resize(width(), pixels(twips) - frame);
}

int frmBrevik::heightTwips() const
{
    return frameGeometry().height() * TwipsPerPixel;
}

void frmBrevik::Form_Activate() {}

} // namespace brevik::ui
