#include "CompletionBox.h"

#include "platform/CaptionFont.h"

#include <QMessageBox>

namespace complete {

Message messageFor(Job job)
{
    switch (job) {
    case Job::Backup:
        return {QStringLiteral("BackupComplete"), QStringLiteral("Backup Complete"),
                QStringLiteral("The backup of your iPod/iPhone has finished.\n\n"
                               "Your applications and your mobile and root folders are in the folders "
                               "\"Applications\", \"mobile\" and \"root\" beside Zorvane. "
                               "If the Console showed errors, check the IP address and password and run the backup again.")};
    case Job::Restore:
        return {QStringLiteral("RestoreComplete"), QStringLiteral("Restore Complete"),
                QStringLiteral("Your files have been put back on your iPod/iPhone, and it is restarting now.\n\n"
                               "Wait until it has started again before you use it.")};
    case Job::Symlink:
        return {QStringLiteral("SymlinkComplete"), QStringLiteral("Symlink Complete"),
                QStringLiteral("Moving the folder to /var and linking it back has finished.\n\n"
                               "The Console shows what was done on your iPod/iPhone.")};
    case Job::Dfu:
        return {QStringLiteral("DFUmode"), QStringLiteral("DFU Mode"),
                QStringLiteral("Forcing DFU mode has finished. You can disconnect your iPod/iPhone now, "
                               "or restore it in iTunes by holding SHIFT and clicking Restore, then choosing an older firmware.")};
    }
    return {};
}

QMessageBox *createBox(Job job, QWidget *parent)
{
    const Message m = messageFor(job);
    auto *box = new QMessageBox(QMessageBox::Information, m.title, m.text, QMessageBox::Ok, parent);
    box->setObjectName(m.objectName);
    box->setFont(platform::CaptionFont::ofSize(8.25));
    return box;
}

} // namespace complete
