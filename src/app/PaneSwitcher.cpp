#include "app/PaneSwitcher.h"

#include <QWidget>

namespace app {

void PaneSwitcher::show(QWidget *pane) const
{
    for (QWidget *p : m_panes) {
        if (p != pane)
            p->hide();
    }
    pane->show();
}

} // namespace app
