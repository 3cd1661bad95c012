#pragma once
#include <QByteArray>

namespace about {

// Start-up settings of the About window's browser engine. The engine reads them
// from the environment once, so prepareWebEngine() must run in main() before the
// QApplication is created.

// Chromium switches added to those already set (which are kept, first):
// background networking off, as the program only fetches pages the user opens;
// the sandbox off only for the super-user, whom Chromium cannot sandbox; the GPU
// off without a display.
QByteArray webEngineFlags(const QByteArray &current, bool asRoot, bool headless);

// True for the Qt platforms that have no display (offscreen, minimal).
bool isHeadlessPlatform(const QByteArray &qpaPlatform);

// Applies the settings above to this process's environment, and silences the
// engine's start-up report of its graphics set-up (QT_LOGGING_RULES can still
// ask for it).
void prepareWebEngine();

} // namespace about
