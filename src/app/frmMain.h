#pragma once
#include "about/AboutLauncher.h"
#include "platform/MessageBoxes.h"

#include <QWidget>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTextEdit;
class QTimer;
class Console;
class ReadOutput;

namespace jobs {
class ConnectionSettings;
class JobLauncher;
}

namespace app {

class BusyIndicator;
class UpdateCheck;

// The main window: Connection settings, the pane buttons, four panes of which
// one is visible, and the Console below them.
class frmMain : public QWidget {
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // Outer window height in twips (client height plus the window frame).
    int heightTwips() const;
    void setHeightTwips(int twips);

    // The Console that shows the runner's output in Output.
    ::Console &console() { return *m_console; }

    static bool FileExists(const QString &name);
    void PopAlert(const QString &message);

public slots:
    void Command2_Click();
    void Command1_Click();
    void Command4_Click();
    void Command6_Click();
    void Command3_Click();
    void Check1_Click();
    void Check2_Click();
    void cmdAgree_Click();
    void Command5_Click();
    void Command10_Click();
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();
    void Timer1_Timer();
    void cmdUpdate_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void Form_Unload();
    void buildControls();
    void buildHoverHelp();
    void showPane(QGroupBox *pane);
    void hideBusyIndicators();
    // The Connection settings as typed; shows why when they cannot be used.
    bool readConnection(std::unique_ptr<jobs::ConnectionSettings> *settings);
    void showMessage(const QString &title, const QString &text, platform::MsgIcon icon);

    // Top level
    QPushButton *Command2, *Command1, *Command4, *Command3, *Command6;
    QGroupBox *Frame6, *Frame1, *Frame2, *Frame4, *Frame5;
    QLabel *Label3;
    QTextEdit *Output;
    // SSH Login
    QLabel *Label2, *Label4;
    QLineEdit *Text2, *Text3;
    // Main Screen
    QLabel *Label6, *Image2;
    QGroupBox *Frame7;
    QPushButton *cmdUpdate;
    QProgressBar *ProgressBar1;
    QLabel *Label13, *Label10, *Label5, *Label1, *lblSize, *lblAction, *lblRemaining, *lblPrcnt;
    // Backup
    QTextEdit *RichTextBox2;
    QRadioButton *optYes, *optNo;
    QCheckBox *Check1;
    QPushButton *cmdAgree;
    BusyIndicator *GIF1;
    QLabel *Label7, *Label11;
    // Restore
    QTextEdit *RichTextBox1;
    QLabel *Label12;
    QCheckBox *Check2;
    QPushButton *Command5;
    BusyIndicator *GIF2;
    QLabel *Label8, *Label15;
    // Utilities
    QPushButton *Command10, *Command7, *Command8, *Command9;
    BusyIndicator *DXAnimatedGIF3, *DXAnimatedGIF1, *DXAnimatedGIF2, *DXAnimatedGIF5;
    QTimer *Timer1;
    QLabel *Label9;

    ReadOutput *ReadOutput1;
    std::unique_ptr<::Console> m_console;
    std::unique_ptr<jobs::JobLauncher> m_launcher;
    // SSH.bat is written once per run, and again whenever the Connection
    // settings differ from the ones it holds.
    bool m_sshScriptWritten = false;
    QStringList m_sshScriptLines;

    about::AboutLauncher m_about{this};
    UpdateCheck *m_update = nullptr;
};

} // namespace app
