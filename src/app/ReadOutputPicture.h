#pragma once
#include <QWidget>

class QLabel;

namespace app {

// The command runner's picture, a small console window with a prompt, for a
// window that shows where its runner sits. It keeps the picture's size whatever
// a layout or a resize asks for.
class ReadOutputPicture : public QWidget {
    Q_OBJECT
public:
    explicit ReadOutputPicture(QWidget *parent = nullptr);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitToPicture();

    QLabel *imgIcon;
};

} // namespace app
