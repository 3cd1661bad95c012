#pragma once
#include <QString>

namespace platform {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
// YesNoDefaultNo: a question whose safe answer is No; Enter and Escape answer No.
enum class MsgButtons {
    Ok,
    OkCancel,
    AbortRetryIgnore,
    YesNoCancel,
    YesNo,
    RetryCancel,
    YesNoDefaultNo
};
// Answers carry the classic numeric values (vbOK = 1 ... vbNo = 7).
enum class MsgAnswer { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// Modal message boxes. Production shows a real box; tests install a fake that
// records the box and answers at once, so no test ever blocks on one.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MsgAnswer show(const QString &title, const QString &text, MsgIcon icon,
                           MsgButtons buttons) = 0;
};

} // namespace platform
