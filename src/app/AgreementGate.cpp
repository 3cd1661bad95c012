#include "app/AgreementGate.h"

#include <QCheckBox>
#include <QPushButton>

namespace app {

void gateOnAgreement(const QCheckBox *agreement, QPushButton *go)
{
    if (agreement->checkState() == Qt::Checked)
        go->setEnabled(true);
    else if (agreement->checkState() == Qt::Unchecked)
        go->setEnabled(false);
}

} // namespace app
