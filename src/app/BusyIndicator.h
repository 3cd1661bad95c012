#pragma once
#include <QLabel>

class QMovie;

namespace app {

// A job's busy sign: plays "loading.gif" from the current folder while shown.
// A missing animation leaves the sign blank; nothing else depends on it.
class BusyIndicator : public QLabel {
    Q_OBJECT

public:
    explicit BusyIndicator(QWidget *parent = nullptr);
    bool isPlaying() const;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QMovie *m_movie = nullptr;
};

} // namespace app
