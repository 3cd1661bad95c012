#include "app/BusyIndicator.h"

#include "platform/Platform.h"

#include <QMovie>

namespace app {

namespace {
const QString kAnimation = QStringLiteral("loading.gif");
}

BusyIndicator::BusyIndicator(QWidget *parent)
    : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    setScaledContents(true);
}

bool BusyIndicator::isPlaying() const { return m_movie && m_movie->state() == QMovie::Running; }

void BusyIndicator::showEvent(QShowEvent *event)
{
    if (!m_movie && platform::Platform::files().isFile(kAnimation)) {
        m_movie = new QMovie(kAnimation, QByteArray(), this);
        if (m_movie->isValid())
            setMovie(m_movie);
    }
    if (m_movie && m_movie->isValid())
        m_movie->start();
    QLabel::showEvent(event);
}

void BusyIndicator::hideEvent(QHideEvent *event)
{
    if (m_movie)
        m_movie->stop();
    QLabel::hideEvent(event);
}

} // namespace app
