#pragma once

class QObject;

namespace app {

struct MainWindowControls;

// The explanations the main window's Help lines show while the pointer is over
// a control, and each working pane's resting text.
void addMainWindowHoverHelp(QObject *owner, const MainWindowControls &c);

} // namespace app
