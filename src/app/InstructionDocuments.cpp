#include "app/InstructionDocuments.h"

namespace app {

QString backupInstructions()
{
    return QStringLiteral(
        "<p><b>Zorvane Backup - README</b></p>"
        "<p>Zorvane copies the applications on your iPod Touch or iPhone, together with your "
        "/var/mobile and /var/root folders (settings, mail, contacts, messages and application "
        "data), into Zorvane's working folder on this computer (the About window shows where), "
        "so that you can put them back after restoring your device with iTunes instead of "
        "installing every application again.</p>"
        "<p>Zorvane works only with an iPod Touch or iPhone on firmware 1.1.3 or 1.1.4, and "
        "between those two versions (a backup taken on 1.1.3 can be restored on 1.1.4 and the "
        "other way round).</p>"
        "<p><b>Before you begin:</b></p>"
        "<ol>"
        "<li>Your device must be jailbroken, with BSD Subsystem and OpenSSH installed.</li>"
        "<li>If you use a theme tool (such as Customize or SummerBoard themes), uninstall it "
        "first.</li>"
        "<li>Set Auto-Lock to Never (Settings &gt; General &gt; Auto-Lock).</li>"
        "<li>Connect your device to external power for the whole backup.</li>"
        "<li>Your device and this computer must be on the same Wi-Fi network.</li>"
        "<li>Run \"Run SSH Fingerprint\" on the Misc Utilities pane once beforehand, and answer "
        "its question about the host key with y.</li>"
        "<li>Read everything on this page, tick \"I agree to the terms above\", and fill in the "
        "IP address and the SSH password of your device above.</li>"
        "<li>Do not switch your device off and do not close Zorvane while the backup runs.</li>"
        "</ol>"
        "<p>By ticking \"I agree\" you accept that you use Zorvane at your own risk.</p>");
}

QString restoreInstructions()
{
    return QStringLiteral(
        "<p><b>Zorvane Restore - README</b></p>"
        "<p>Restore puts the applications and the /var/mobile and /var/root folders of your last "
        "Zorvane backup back onto a freshly restored iPod Touch or iPhone that has been set up "
        "with iTunes.</p>"
        "<p><b>Before you begin:</b></p>"
        "<ol>"
        "<li>After setting your device up with iTunes, jailbreak it again on firmware 1.1.3 or "
        "1.1.4.</li>"
        "<li>Your device must be jailbroken, with BSD Subsystem and OpenSSH installed.</li>"
        "<li>If you use a theme tool (such as Customize or SummerBoard themes), uninstall it "
        "first.</li>"
        "<li>If you had an iPhone-application hack installed, reinstall it before the "
        "restore.</li>"
        "<li>Set Auto-Lock to Never (Settings &gt; General &gt; Auto-Lock).</li>"
        "<li>Connect your device to external power for the whole restore.</li>"
        "<li>Your device and this computer must be on the same Wi-Fi network.</li>"
        "<li>Run \"Run SSH Fingerprint\" on the Misc Utilities pane once beforehand, and answer "
        "its question about the host key with y.</li>"
        "<li>Read everything on this page, tick \"I agree to the terms above\", and fill in the "
        "IP address and the SSH password of your device above.</li>"
        "<li>Do not switch your device off and do not close Zorvane while the restore runs.</li>"
        "</ol>"
        "<p>Your fonts folder is moved as well. At the end your device restarts by itself.</p>"
        "<p><b>Afterwards:</b> open Settings &gt; Mail, choose your account and type its "
        "password again. Some applications need a runtime package; reinstall it from the "
        "Installer if an application does not start.</p>");
}

} // namespace app
