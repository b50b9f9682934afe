#include "frmsplash.h"

#include "app/folderhandover.h"
#include "app/forms.h"
#include "app/frmbrevik_design.h"
#include "brevik/version.h"
#include "platform/artwork.h"
#include "settings/frmpath.h"
#include "settings/programfolder.h"
#include "settings/settingsfile.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace brevik::ui {
namespace {

constexpr int DesignInterval = 2000;
int& intervalSetting()
{
    static int interval = DesignInterval;
    return interval;
}

using K = ControlKind;
using L = QLatin1StringView;

} // namespace

const WindowDesign& frmSplashDesign()
{
    const FontDesign arial24Bold{L("Arial"), 24, true};
    const FontDesign arial1575Bold{L("Arial"), 15.75, true};
    const FontDesign arial12Bold{L("Arial"), 12, true};
    // clang-format off
    static const ControlDesign controls[] = {
    //   name                 kind      parent caption                              left   top  width height tab flags                   font
        {L("Timer1"),         K::Timer, {},    QString(),                              0,    0,     0,    0,  -1},
        {L("lblProductName"), K::Label, {},    frmBrevikProductTitle(),              240,  360,  7200,  555,   1, AutoSize | Transparent, arial24Bold},
        {L("lblPlatform"),    K::Label, {},    QStringLiteral("Windows Platform"),   240, 1080,  2745,  360,   6, AutoSize | Transparent, arial1575Bold},
        {L("lblVersion"),     K::Label, {},    QStringLiteral("lblVersion"),         240, 1440,  1155,  285,   5, AutoSize | Transparent, arial12Bold},
    };
    // clang-format on
    static const WindowDesign design{L("frmSplash"), QString(), FrameKind::NoTitleBar, false, 7590, 4245, {},
                                     controls};
    return design;
}

void frmSplash::setTimerIntervalForTesting(int milliseconds)
{
    intervalSetting() = milliseconds > 0 ? milliseconds : DesignInterval;
}

int frmSplash::timerInterval()
{
    return intervalSetting();
}

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent)
{
    // The picture is drawn from the top left corner and cut off where the window ends.
    m_client = new QLabel(this);
    m_client->setPixmap(artworkPixmap(QStringLiteral(":/brevik/splash.png")));
    m_client->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_client);

    m_controls.build(m_client, frmSplashDesign());
    applyWindowDesign(this, m_client, frmSplashDesign());
    // A tool window stays out of the task bar.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setFocusPolicy(Qt::StrongFocus);

    Timer1 = m_controls.get<QTimer>(u"Timer1");
    lblProductName = m_controls.get<QLabel>(u"lblProductName");
    lblPlatform = m_controls.get<QLabel>(u"lblPlatform");
    lblVersion = m_controls.get<QLabel>(u"lblVersion");

    Timer1->setSingleShot(true);
    Timer1->setInterval(timerInterval());
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    Timer1->start();

    Form_Load();
}

void frmSplash::Form_Load()
{
    lblVersion->setText(versionText());
    lblVersion->adjustSize();
}

void frmSplash::keyPressEvent(QKeyEvent* event)
{
    const bool character = !event->text().isEmpty() || event->key() == Qt::Key_Return ||
                           event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape;
    if (character)
        Form_KeyPress();
    else
        QWidget::keyPressEvent(event);
}

void frmSplash::Form_KeyPress()
{
    close();
}

void frmSplash::closeEvent(QCloseEvent* event)
{
    // The timer goes with the window: no hand-over follows a close.
    Timer1->stop();
    event->accept();
    if (m_handingOver)
        return;
    // Closed before the hand-over, the splash leaves no window open, and the program ends. This
    // window is still inside its own event, so the ending waits for the event loop.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { Forms::endProgram(); }, Qt::QueuedConnection);
}

void frmSplash::Timer1_Timer()
{
    m_handingOver = true;
    close();

    // A read that ends early keeps what it read; only two non-empty values hand over.
    const FolderSettings folders = SettingsFile::ofProgram().read().folders;
    if (!folders.dataFolder.isEmpty() && !folders.quickBooksFolder.isEmpty())
        handOverFolders(folders);
    else
        Forms::showModeless(&Forms::path());
}

} // namespace brevik::ui
