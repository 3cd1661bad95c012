#pragma once
#include "alert/AlertGeometry.h"
#include "draw/CGradient.h"

#include <QImage>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <memory>

namespace alert {

class GradientPanel;

// A small notification that grows up out of the bottom-right corner of the
// screen, shows one message on a gradient with a close box and a sound, stays
// for a given time, shrinks away and unloads itself. Alerts stack upward.
class frmAlert : public QWidget {
    Q_OBJECT

public:
    explicit frmAlert(QWidget *parent = nullptr);
    ~frmAlert() override;

    // Shows the window with the message, starts the sound and the grow timer.
    void DisplayAlert(const QString &MessageText, int Duration);

    // Alerts shown since the newest one last unloaded (shared by all alerts).
    static int AlertCount();
    static void resetAlertCount();

    int AlertIndex() const { return m_alertIndex; }
    const AlertGeometry &geometryTwips() const { return m_geometry; }
    QImage background() const;

public slots:
    void Image1_Click();
    void lblAlert_MouseMove();
    void picBackground_MouseMove();
    void tmrOpen_Timer();
    void tmrAlert_Timer();
    void tmrClose_Timer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void applyGeometry();

    AlertGeometry m_geometry;
    int m_alertIndex = 0;
    std::unique_ptr<draw::CGradient> m_gradient;
    GradientPanel *picBackground;
    QLabel *Image1;
    QLabel *lblAlert;
    QTimer *tmrOpen;
    QTimer *tmrAlert;
    QTimer *tmrClose;
};

} // namespace alert
