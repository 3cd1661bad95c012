#pragma once
#include "about/AboutLinks.h"

#include <QPixmap>
#include <QWidget>

class QFrame;
class QLabel;
class QWebEngineProfile;
class QWebEngineView;

namespace about {

class ClickLabel;

// The About window: name, version and credits, a description, three links and a
// donation picture. Links open in the window's own browser, WebBrowser1, which
// lies hidden over the upper part until a link is clicked; Image2 hides it again.
// Every control's object name is its name here, so tests can find it.
class frmAbout : public QWidget {
    Q_OBJECT
public:
    explicit frmAbout(const AboutLinks &links = AboutLinks::standard(), QWidget *parent = nullptr);
    ~frmAbout() override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void createControls();
    QLabel *addLabel(const char *name, int left, int top, int width, int height,
                     const QString &caption);
    ClickLabel *addClickable(const char *name, int left, int top, int width, int height);
    void createBrowser();

    void Form_Load();
    void Label9_Click();
    void Label10_Click();
    void Label11_Click();
    void Image3_Click();
    void Image2_Click();
    // Shows the browser and asks it to open the address; returns at once.
    void navigate(const QString &address);

    AboutLinks m_links;
    QPixmap m_background;

    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label8 = nullptr;
    QFrame *Line1 = nullptr;
    ClickLabel *Label9 = nullptr;
    ClickLabel *Label10 = nullptr;
    ClickLabel *Label11 = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *lblBackupFolder = nullptr;
    ClickLabel *Image3 = nullptr;
    QLabel *Label12 = nullptr;
    ClickLabel *Image2 = nullptr;
    QWebEngineProfile *m_profile = nullptr;
    QWebEngineView *WebBrowser1 = nullptr;
};

} // namespace about
