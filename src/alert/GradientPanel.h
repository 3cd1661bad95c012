#pragma once
#include <QImage>
#include <QWidget>

namespace alert {

// The alert's background panel: shows the picture painted on it, which stays
// until the window unloads.
class GradientPanel : public QWidget {
    Q_OBJECT

public:
    explicit GradientPanel(QWidget *parent = nullptr);
    // The panel's picture, sized to the panel; painters draw into it.
    QImage &picture() { return m_picture; }
    const QImage &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QImage m_picture;
};

} // namespace alert
