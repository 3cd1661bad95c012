#pragma once
#include <QByteArray>

namespace platform {

// The process environment: the settings the program is started with (the
// update location, the display platform) and those it passes on to the
// libraries it starts, such as the browser engine.
class Environment {
public:
    virtual ~Environment() = default;
    // The variable's value; empty when it is unset.
    virtual QByteArray variable(const char *name) const = 0;
    // True when the variable is set, even to nothing.
    virtual bool isSet(const char *name) const = 0;
    // Sets the variable for this process and what it starts.
    virtual void setVariable(const char *name, const QByteArray &value) = 0;
};

} // namespace platform
