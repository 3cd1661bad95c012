#include "about/frmAbout.h"
#include "about/AboutArt.h"
#include "about/AboutText.h"
#include "about/ClickLabel.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include "platform/desktop/CaptionFont.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace about {

namespace {

// Client area 9945 x 5775 twips.
constexpr int kClientWidth = 9945;
constexpr int kClientHeight = 5775;

QFont textFont() { return platform::CaptionFont::ofSize(9.75, true); }

} // namespace

frmAbout::frmAbout(const AboutLinks &links, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                          | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_links(links)
    , m_background(AboutArt::background())
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Zorvane"));
    setWindowIcon(AboutArt::windowIcon());
    setFixedSize(platform::twipsToPixels(kClientWidth), platform::twipsToPixels(kClientHeight));
    createControls();
    createBrowser();
    Form_Load();
}

frmAbout::~frmAbout()
{
    // The page must go before the profile it was made from.
    delete WebBrowser1;
    delete m_profile;
}

void frmAbout::paintEvent(QPaintEvent *) { QPainter(this).drawPixmap(0, 0, m_background); }

QLabel *frmAbout::addLabel(const char *name, int left, int top, int width, int height,
                           const QString &caption)
{
    auto *label = new QLabel(caption, this);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(platform::twipsRect(left, top, width, height));
    label->setFont(textFont());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

ClickLabel *frmAbout::addClickable(const char *name, int left, int top, int width, int height)
{
    auto *label = new ClickLabel(this);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(platform::twipsRect(left, top, width, height));
    label->setFont(textFont());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

void frmAbout::createControls()
{
    Image1 = addLabel("Image1", 480, 240, 2400, 2400, QString());
    Image1->setPixmap(AboutArt::emblem());

    Label1 = addLabel("Label1", 120, 2760, 3135, 375, QStringLiteral("Zorvane"));
    Label2 = addLabel("Label2", 120, 3120, 3495, 1575, AboutText::credits());
    Label2->setWordWrap(true);
    Label3 =
        addLabel("Label3", 3720, 360, 5895, 255, QStringLiteral("Zorvane Detailed information:"));
    // Design-time texts; Form_Load replaces them.
    Label4 = addLabel("Label4", 3720, 720, 5895, 255, QStringLiteral("Version:"));
    Label5 = addLabel("Label5", 3720, 960, 5895, 255, QStringLiteral("Company:"));
    Label6 = addLabel("Label6", 3720, 1200, 5895, 255, QStringLiteral("Application Name:"));
    Label8 = addLabel("Label8", 3720, 1440, 5895, 255, QStringLiteral("Check out these links!"));

    // A horizontal rule from (3720, 1440) to (9720, 1440).
    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Plain);
    Line1->setLineWidth(1);
    Line1->setGeometry(platform::twipsToPixels(3720), platform::twipsToPixels(1440),
                       platform::twipsToPixels(9720 - 3720) + 1, 1);

    const QString linkStyle = QStringLiteral("color: #0000ee; text-decoration: underline;");
    Label9 = addClickable("Label9", 3720, 1680, 5895, 255);
    Label9->setText(m_links.caption(AboutLinks::MakerSite));
    Label10 = addClickable("Label10", 3720, 1920, 5895, 255);
    Label10->setText(m_links.caption(AboutLinks::MakerChannel));
    Label11 = addClickable("Label11", 3720, 2160, 5895, 255);
    Label11->setText(m_links.caption(AboutLinks::AuthorSite));
    for (ClickLabel *link : {Label9, Label10, Label11})
        link->setStyleSheet(linkStyle);

    Label7 = addLabel("Label7", 3720, 3000, 5895, 1575, AboutText::description());
    Label7->setWordWrap(true);

    // Where the backup copy lives, in the free strip below the description.
    lblBackupFolder = addLabel("lblBackupFolder", 3720, 4620, 5895, 420, QString());
    QFont small = textFont();
    small.setPointSizeF(8.25);
    small.setBold(false);
    lblBackupFolder->setFont(small);
    lblBackupFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Image3 = addClickable("Image3", 0, 5040, 1800, 810);
    Image3->setPixmap(AboutArt::donateButton());
    Image3->setToolTip(m_links.caption(AboutLinks::Donation));
    Label12 =
        addLabel("Label12", 120, 5400, 9135, 255, QStringLiteral("Click to hide Webbrowser -->"));
    // Its arrow points right at Image2; clicks pass through to Image3 beneath it.
    Label12->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label12->setAttribute(Qt::WA_TransparentForMouseEvents);
    Image2 = addClickable("Image2", 9480, 5280, 360, 390);
    Image2->setPixmap(AboutArt::hideMark());

    connect(Label9, &ClickLabel::clicked, this, &frmAbout::Label9_Click);
    connect(Label10, &ClickLabel::clicked, this, &frmAbout::Label10_Click);
    connect(Label11, &ClickLabel::clicked, this, &frmAbout::Label11_Click);
    connect(Image3, &ClickLabel::clicked, this, &frmAbout::Image3_Click);
    connect(Image2, &ClickLabel::clicked, this, &frmAbout::Image2_Click);
}

void frmAbout::createBrowser()
{
    // A private, in-memory profile: the pages of the About window leave nothing
    // on disk and share nothing with other windows.
    m_profile = new QWebEngineProfile;
    WebBrowser1 = new QWebEngineView(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setPage(new QWebEnginePage(m_profile, WebBrowser1));
    WebBrowser1->setGeometry(platform::twipsRect(0, 0, 9975, 5055));
    WebBrowser1->setVisible(false);
    WebBrowser1->raise();
}

void frmAbout::Form_Load()
{
    const platform::AppInfo &app = platform::Platform::app();
    Label4->setText(AboutText::versionLine(app));
    Label5->setText(AboutText::companyLine());
    Label6->setText(AboutText::applicationLine(app));
    // The jobs write the backup into the working folder.
    const QString folder = app.workFolder();
    lblBackupFolder->setText(QStringLiteral("Your backup is kept in Zorvane's working folder:\n")
                             + lblBackupFolder->fontMetrics().elidedText(folder, Qt::ElideMiddle,
                                                                         lblBackupFolder->width()));
    lblBackupFolder->setToolTip(folder);
}

void frmAbout::Label9_Click() { navigate(m_links.target(AboutLinks::MakerSite)); }

void frmAbout::Label10_Click() { navigate(m_links.target(AboutLinks::MakerChannel)); }

void frmAbout::Label11_Click() { navigate(m_links.target(AboutLinks::AuthorSite)); }

void frmAbout::Image3_Click() { navigate(m_links.target(AboutLinks::Donation)); }

void frmAbout::Image2_Click()
{
    if (!WebBrowser1->isHidden())
        WebBrowser1->setVisible(false);
}

void frmAbout::navigate(const QString &address)
{
    WebBrowser1->setVisible(true);
    WebBrowser1->load(AboutLinks::browserUrl(address));
}

} // namespace about
