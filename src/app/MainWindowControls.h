#pragma once

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTextEdit;
class QTimer;
class QWidget;

namespace app {

class BusyIndicator;
class ReadOutputPicture;

// Every control of the main window, named as on the window.
struct MainWindowControls {
    // Top level
    QPushButton *Command2, *Command1, *Command4, *Command3, *Command6;
    QGroupBox *Frame6, *Frame1, *Frame2, *Frame4, *Frame5;
    QLabel *Label3;
    QTextEdit *Output;
    ReadOutputPicture *ReadOutput1Picture;
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
    // Copies only what changed since the last backup; hidden while a backup
    // runs, whose caption and bar take its row.
    QCheckBox *chkQuickRepeat;
    QPushButton *cmdAgree;
    BusyIndicator *GIF1;
    QLabel *Label7, *Label11;
    // The backup's progress beside its busy sign.
    QProgressBar *prgBackup;
    QLabel *lblBackupProgress;
    // Restore
    QTextEdit *RichTextBox1;
    QLabel *Label12;
    QCheckBox *Check2;
    QPushButton *Command5;
    BusyIndicator *GIF2;
    QLabel *Label8, *Label15;
    // The restore's progress beside its busy sign.
    QProgressBar *prgRestore;
    QLabel *lblRestoreProgress;
    // The backup to restore, and its folder opened in the file manager.
    QComboBox *cboGeneration;
    QPushButton *cmdShowGeneration;
    // Utilities
    QPushButton *Command10, *Command7, *Command8, *Command9;
    BusyIndicator *DXAnimatedGIF3, *DXAnimatedGIF1, *DXAnimatedGIF2, *DXAnimatedGIF5;
    QTimer *Timer1;
    QLabel *Label9;
};

// Creates every control of the main window at its place (in twips) with its
// design-time caption, state and visibility.
MainWindowControls buildMainWindowControls(QWidget *window);

} // namespace app
