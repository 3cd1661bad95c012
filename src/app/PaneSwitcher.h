#pragma once
#include <QList>

class QWidget;

namespace app {

// The panes that lie on top of each other; showing one hides the others, so
// exactly one is visible. Nothing else on the panes changes.
class PaneSwitcher {
public:
    explicit PaneSwitcher(QList<QWidget *> panes)
        : m_panes(std::move(panes))
    {}
    void show(QWidget *pane) const;

private:
    QList<QWidget *> m_panes;
};

} // namespace app
