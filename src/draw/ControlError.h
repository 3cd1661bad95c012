#pragma once
#include <QByteArray>
#include <QString>
#include <exception>

namespace draw {

// A run-time error of a control, raised to the code that called it: the error
// number and its description, as the host shows them to the user.
class ControlError : public std::exception {
public:
    ControlError(int number, const QString &description);

    int number() const { return m_number; }
    QString description() const { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

    // The run-time errors the drawing code can meet, with the usual texts.
    static ControlError overflow();            // 6
    static ControlError outOfMemory();         // 7
    static ControlError subscriptOutOfRange(); // 9
    static ControlError typeMismatch();        // 13

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};

} // namespace draw
