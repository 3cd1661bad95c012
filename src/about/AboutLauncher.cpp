#include "about/AboutLauncher.h"
#include "about/frmAbout.h"

#include <QGuiApplication>

namespace about {

namespace {

// Windows without a display have no stacking order to change (and say so on
// stderr when asked to).
bool windowsStack()
{
    const QString name = QGuiApplication::platformName();
    return name != QLatin1String("offscreen") && name != QLatin1String("minimal");
}

} // namespace

AboutLauncher::AboutLauncher(QWidget *owner, const AboutLinks &links)
    : m_owner(owner)
    , m_links(links)
{}

AboutLauncher::~AboutLauncher() { delete m_window.data(); }

void AboutLauncher::show()
{
    if (!m_window) {
        m_window = new frmAbout(m_links, m_owner);
        // Closing the window unloads it; the next show() loads it afresh.
        m_window->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    if (windowsStack())
        m_window->raise();
    m_window->activateWindow();
}

frmAbout *AboutLauncher::window() const { return m_window.data(); }

} // namespace about
