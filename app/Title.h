// The main window's title, and the texts of the two start-up messages that
// stop or warn before the window is in use.
#pragma once

#include <QString>

class QWidget;

// "<agent name> Melotrix 7E (R7)"; with the default agent name "DRN Melotrix 7E (R7)".
QString MainWindowTitle(const QString& agentName);

constexpr const char* kMessageTitle = "Melotrix";
constexpr const char* kSecondCopyMessage = "Melotrix can not be run 2 times";
constexpr const char* kResolutionMessage = "Melotrix need 800 * 600 resolution !!!";

// A modal message box with the error icon, the title "Melotrix" and `text`.
void ShowStartupError(QWidget* parent, const QString& text);
