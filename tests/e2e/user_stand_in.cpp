// Test stand-in for the person at the started program. Preloaded into the real
// program (LD_PRELOAD), it works the main window's controls the way
// ZORVANE_USER_STEPS says, one step at a time, and answers every message box
// with its OK or Yes button, as the person would. It takes both variables out
// of the program's environment at once, so the job scripts and the programs
// they start run without it.
//
//   ZORVANE_USER_STEPS="Text2=127.0.0.1 Command1 Check1 optNo cmdAgree"
//
// NAME=TEXT types TEXT into the text box NAME; a bare NAME clicks the button or
// box NAME (a click that starts a job returns when the job's script has ended).
//
// With ZORVANE_USER_ANSWER=No instead, preloaded into a job script's programs,
// it answers the boxes of the one with windows with their No button; the
// variables stay, for the other programs the script starts.
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

namespace {

class UserStandIn : public QObject {
public:
    explicit UserStandIn(QStringList steps, bool answerNo = false)
        : QObject(qApp)
        , m_steps(std::move(steps))
        , m_answerNo(answerNo)
    {
        // Two timers: the step timer stays inside a click while its job runs,
        // and the boxes that job shows still need an answer.
        connect(&m_stepTimer, &QTimer::timeout, this, &UserStandIn::nextStep);
        connect(&m_boxTimer, &QTimer::timeout, this, &UserStandIn::answerBox);
        m_stepTimer.start(20);
        m_boxTimer.start(20);
    }

private:
    // The shown window that holds a control of that name.
    static QWidget *control(const QString &name)
    {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (!top->isVisible())
                continue;
            if (auto *found = top->findChild<QWidget *>(name))
                return found;
        }
        return nullptr;
    }

    void nextStep()
    {
        if (m_steps.isEmpty()) {
            m_stepTimer.stop();
            return;
        }
        const QString step = m_steps.first();
        const QString name = step.section(QLatin1Char('='), 0, 0);
        QWidget *target = control(name);
        if (!target)
            return; // the window is not shown yet
        m_steps.removeFirst();
        if (step.contains(QLatin1Char('='))) {
            if (auto *edit = qobject_cast<QLineEdit *>(target))
                edit->setText(step.section(QLatin1Char('='), 1));
        } else if (auto *button = qobject_cast<QAbstractButton *>(target)) {
            button->click();
        }
    }

    void answerBox() const
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        for (QAbstractButton *button : box->buttons()) {
            const QMessageBox::ButtonRole role = box->buttonRole(button);
            if (m_answerNo ? role == QMessageBox::NoRole
                           : role == QMessageBox::AcceptRole || role == QMessageBox::YesRole) {
                button->click();
                return;
            }
        }
    }

    QStringList m_steps;
    bool m_answerNo = false;
    QTimer m_stepTimer;
    QTimer m_boxTimer;
};

void startUserStandIn()
{
    if (qEnvironmentVariable("ZORVANE_USER_ANSWER") == QLatin1String("No")) {
        if (qobject_cast<QApplication *>(qApp))
            QMetaObject::invokeMethod(
                qApp, [] { new UserStandIn({}, true); }, Qt::QueuedConnection);
        return;
    }
    const QString steps = qEnvironmentVariable("ZORVANE_USER_STEPS");
    qunsetenv("ZORVANE_USER_STEPS");
    qunsetenv("LD_PRELOAD");
    if (steps.isEmpty())
        return;
    // Once the program's event loop runs: the application is still being made here.
    QMetaObject::invokeMethod(
        qApp, [steps] { new UserStandIn(steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)); },
        Qt::QueuedConnection);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startUserStandIn)
