#include "platform/desktop/DesktopServices.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include "platform/desktop/QtShell.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMediaDevices>
#include <QMessageBox>
#include <QScreen>
#include <QSoundEffect>
#include <QUrl>
#include <memory>

namespace platform {

namespace {

QMessageBox::StandardButtons standardButtons(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok: return QMessageBox::Ok;
    case MsgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::AbortRetryIgnore:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case MsgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoDefaultNo: return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon standardIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::None: return QMessageBox::NoIcon;
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Information: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

MsgAnswer answerOf(int button)
{
    switch (button) {
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    case QMessageBox::Abort: return MsgAnswer::Abort;
    case QMessageBox::Retry: return MsgAnswer::Retry;
    case QMessageBox::Ignore: return MsgAnswer::Ignore;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    default: return MsgAnswer::Ok;
    }
}

} // namespace

QMessageBox *QtMessageBoxes::create(const QString &title, const QString &text, MsgIcon icon,
                                    MsgButtons buttons)
{
    auto *box = new QMessageBox(standardIcon(icon), title, text, standardButtons(buttons));
    if (buttons == MsgButtons::YesNoDefaultNo) {
        box->setDefaultButton(QMessageBox::No);
        box->setEscapeButton(QMessageBox::No);
    }
    return box;
}

MsgAnswer QtMessageBoxes::show(const QString &title, const QString &text, MsgIcon icon,
                               MsgButtons buttons)
{
    const std::unique_ptr<QMessageBox> box(create(title, text, icon, buttons));
    return answerOf(box->exec());
}

namespace {

// Sound goes through the desktop's sound server; without one there is nothing
// to play on, and asking the multimedia layer would only print complaints.
bool soundServerPresent()
{
    const Environment &environment = Platform::environment();
    if (environment.isSet("PULSE_SERVER"))
        return true;
    const QString runtime = QString::fromLocal8Bit(environment.variable("XDG_RUNTIME_DIR"));
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/pulse/native"));
}

} // namespace

bool QtSound::playAsync(const QString &waveFile)
{
    // No file or no sound device: silence, as the caller expects.
    if (!QFileInfo(waveFile).isFile() || !soundServerPresent()
        || QMediaDevices::defaultAudioOutput().isNull())
        return false;
    auto *effect = new QSoundEffect(QCoreApplication::instance());
    effect->setSource(QUrl::fromLocalFile(waveFile));
    QObject::connect(effect, &QSoundEffect::playingChanged, effect, [effect] {
        if (!effect->isPlaying())
            effect->deleteLater();
    });
    QObject::connect(effect, &QSoundEffect::statusChanged, effect, [effect] {
        if (effect->status() == QSoundEffect::Error)
            effect->deleteLater();
    });
    effect->play();
    return true;
}

QSize QtScreenMetrics::fullScreenClientSize() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().size() : QSize(1024, 768);
}

int QtScreenMetrics::twipsPerPixelX() const { return kTwipsPerPixel; }
int QtScreenMetrics::twipsPerPixelY() const { return kTwipsPerPixel; }

void installDesktopServices()
{
    Platform::setProduction(
        Platform::Factories{[] { return std::unique_ptr<MessageBoxes>(new QtMessageBoxes); },
                            [] { return std::unique_ptr<Shell>(new QtShell); },
                            [] { return std::unique_ptr<Sound>(new QtSound); },
                            [] { return std::unique_ptr<ScreenMetrics>(new QtScreenMetrics); }});
}

} // namespace platform
