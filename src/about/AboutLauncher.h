#pragma once
#include "about/AboutLinks.h"

#include <QPointer>

class QWidget;

namespace about {

class frmAbout;

// Keeps the program's single About window: the first show() creates and loads
// it, further calls while it is open bring the same window back, and after it
// has been closed (which unloads it) the next call loads a fresh one. Never modal.
class AboutLauncher {
public:
    // The window is owned by `owner` (as a separate top-level window) when given.
    explicit AboutLauncher(QWidget *owner = nullptr,
                           const AboutLinks &links = AboutLinks::standard());
    ~AboutLauncher();
    AboutLauncher(const AboutLauncher &) = delete;
    AboutLauncher &operator=(const AboutLauncher &) = delete;

    void show();
    // The open About window, or nullptr when none is loaded.
    frmAbout *window() const;

private:
    QWidget *m_owner;
    AboutLinks m_links;
    QPointer<frmAbout> m_window;
};

} // namespace about
