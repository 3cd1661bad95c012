#include "alert/frmAlert.h"
#include "alert/AlertPictures.h"
#include "alert/GradientPanel.h"
#include "draw/DrawSurface.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include "platform/desktop/CaptionFont.h"
#include "platform/desktop/PopupWindow.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace alert {

namespace {

int g_alertCount = 0;

constexpr draw::ColorRef kAlertBlue = 61 + 149 * 256 + 255 * 65536;
constexpr draw::ColorRef kWhite = 0xFFFFFF;

} // namespace

int frmAlert::AlertCount() { return g_alertCount; }
void frmAlert::resetAlertCount() { g_alertCount = 0; }

frmAlert::frmAlert(QWidget *parent)
    : QWidget(parent, platform::popupWindowFlags())
{
    using platform::twipsRect;
    setObjectName(QStringLiteral("frmAlert"));
    setWindowTitle(QString());
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(platform::CaptionFont::ofSize(8.25));

    picBackground = new GradientPanel(this);
    picBackground->setObjectName(QStringLiteral("picBackground"));
    picBackground->setGeometry(twipsRect(AlertGeometry::kFrameTwips, AlertGeometry::kFrameTwips,
                                         AlertGeometry::kPanelWidth, AlertGeometry::kPanelHeight));
    picBackground->setMouseTracking(true);
    picBackground->installEventFilter(this);

    Image1 = new QLabel(picBackground);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(twipsRect(1680, 120, 195, 180));
    Image1->setPixmap(closeBoxPicture());
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setCursor(handCursor());
    // Moves over the close box change nothing: keep them from the panel.
    Image1->setAttribute(Qt::WA_NoMousePropagation);
    Image1->installEventFilter(this);

    lblAlert = new QLabel(QStringLiteral("Alert Message"), picBackground);
    lblAlert->setObjectName(QStringLiteral("lblAlert"));
    lblAlert->setGeometry(twipsRect(90, 600, 1815, 735));
    lblAlert->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblAlert->setWordWrap(true);
    lblAlert->setAttribute(Qt::WA_TranslucentBackground);
    lblAlert->setAutoFillBackground(false);
    lblAlert->setFrameShape(QFrame::NoFrame);
    lblAlert->setMouseTracking(true);
    lblAlert->installEventFilter(this);

    tmrOpen = new QTimer(this);
    tmrOpen->setObjectName(QStringLiteral("tmrOpen"));
    tmrOpen->setInterval(10);
    tmrAlert = new QTimer(this);
    tmrAlert->setObjectName(QStringLiteral("tmrAlert"));
    tmrAlert->setInterval(5000);
    tmrClose = new QTimer(this);
    tmrClose->setObjectName(QStringLiteral("tmrClose"));
    tmrClose->setInterval(10);
    connect(tmrOpen, &QTimer::timeout, this, &frmAlert::tmrOpen_Timer);
    connect(tmrAlert, &QTimer::timeout, this, &frmAlert::tmrAlert_Timer);
    connect(tmrClose, &QTimer::timeout, this, &frmAlert::tmrClose_Timer);

    applyGeometry();
}

frmAlert::~frmAlert() = default;

QImage frmAlert::background() const { return picBackground->picture(); }

void frmAlert::applyGeometry()
{
    setGeometry(platform::twipsRect(int(m_geometry.Left), int(m_geometry.Top),
                                    int(m_geometry.Width), int(m_geometry.Height)));
}

void frmAlert::DisplayAlert(const QString &MessageText, int Duration)
{
    ++g_alertCount;
    m_alertIndex = g_alertCount;
    lblAlert->setText(MessageText);
    tmrAlert->setInterval(Duration > 0 ? Duration : 0); // no stay time for zero or less

    const platform::ScreenMetrics &screen = platform::Platform::screen();
    const QSize full = screen.fullScreenClientSize();
    m_geometry.place(m_alertIndex, full.width(), full.height(), screen.twipsPerPixelX(),
                     screen.twipsPerPixelY());
    applyGeometry();
    show();

    platform::Platform::sound().playAsync(platform::Platform::app().folder()
                                          + QStringLiteral("/newalert.wav"));

    if (!m_gradient)
        m_gradient = std::make_unique<draw::CGradient>();
    m_gradient->setAngle(-100);
    m_gradient->setColor1(qint32(kAlertBlue));
    m_gradient->setColor2(qint32(kWhite));
    draw::ImageSurface surface(&picBackground->picture());
    m_gradient->Draw(surface);
    picBackground->update();

    tmrOpen->start();
}

void frmAlert::tmrOpen_Timer()
{
    if (m_geometry.growStep()) {
        applyGeometry();
    } else {
        tmrOpen->stop();
        tmrAlert->start();
    }
}

void frmAlert::tmrAlert_Timer()
{
    tmrAlert->stop();
    tmrClose->start();
}

void frmAlert::tmrClose_Timer()
{
    if (m_geometry.shrinkStep()) {
        applyGeometry();
        return;
    }
    if (m_alertIndex == g_alertCount)
        g_alertCount = 0;
    tmrClose->stop();
    close();
}

void frmAlert::Image1_Click() { hide(); }

void frmAlert::lblAlert_MouseMove()
{
    QFont font = lblAlert->font();
    if (!font.underline()) {
        font.setUnderline(true);
        lblAlert->setFont(font);
        QPalette pal = lblAlert->palette();
        pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
        lblAlert->setPalette(pal);
    }
    lblAlert->setFrameShape(QFrame::Box);
}

void frmAlert::picBackground_MouseMove()
{
    QFont font = lblAlert->font();
    if (font.underline()) {
        font.setUnderline(false);
        lblAlert->setFont(font);
        QPalette pal = lblAlert->palette();
        pal.setColor(QPalette::WindowText, QColor(0, 0, 0));
        lblAlert->setPalette(pal);
    }
    lblAlert->setFrameShape(QFrame::NoFrame);
}

bool frmAlert::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove) {
        if (watched == lblAlert) {
            lblAlert_MouseMove();
            return true;
        }
        if (watched == picBackground) {
            picBackground_MouseMove();
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonRelease && watched == Image1) {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() == Qt::LeftButton && Image1->rect().contains(me->position().toPoint())) {
            Image1_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmAlert::paintEvent(QPaintEvent *)
{
    // The thin fixed dialog frame around the panel.
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, palette().color(QPalette::Button));
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(palette().color(QPalette::Shadow));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

} // namespace alert
