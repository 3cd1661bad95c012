#include "BackupWindow.h"
#include "PrivatePutty.h"
#include "SimulatedDevice.h"
#include "app/Console.h"
#include "app/frmMain.h"
#include "support/FakePlatform.h"
#include "support/ProgramFolder.h"
#include "support/SuiteFixture.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace bench {

BackupWindow::BackupWindow(const ProgramFolder &folder)
{
    QDir::setCurrent(folder.path());
    PrivatePutty::applyToProcess(folder.home());
    fake::Services fakes = fake::install();
    fakes.app->dir = folder.path();
    m_window = std::make_unique<app::frmMain>();
    m_window->show();
    m_window->findChild<QLineEdit *>("Text2")->setText(
        QString::fromLatin1(SimulatedDevice::address));
    m_window->findChild<QPushButton *>("Command1")->click();
    m_window->findChild<QCheckBox *>("Check1")->setChecked(true);
    m_window->findChild<QRadioButton *>("optNo")->setChecked(true);
}

BackupWindow::~BackupWindow()
{
    m_window.reset();
    SuiteFixture::closeAlerts();
    fake::restore();
    QDir::setCurrent(QDir::tempPath());
}

void BackupWindow::clickContinue() { m_window->findChild<QPushButton *>("cmdAgree")->click(); }

QString BackupWindow::console() { return m_window->console().text(); }

} // namespace bench
