// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every message box of the program goes through here, so tests can record
// the messages instead of blocking on a modal box.

#include <QString>
#include <exception>
#include <functional>

class QWidget;

namespace mirado {

enum class MessageIcon
{
    Warning,
    Error,
};

struct Message
{
    MessageIcon icon = MessageIcon::Error;
    QString caption;
    QString text;
};

inline const QString kApplicationTitle = QStringLiteral("Mirado");
inline const QString kWarningCaption = QStringLiteral("警告");

// Shows a modal box with one OK button, or hands the message to the handler
// installed for testing.
void ShowMessage(QWidget *parent, const Message &message);

// Installs a handler in place of the boxes; an empty one gives the boxes back.
void SetMessageHandlerForTesting(std::function<void(const Message &)> handler);

// The error's text for display: a quoted file name or catalogue text is
// decoded from its own bytes.
QString ErrorText(const std::exception &error);

// The default report's text: a full stop is appended when the last
// character's code lies above that of the full stop.
QString WithFullStop(const QString &text);

// The warning box: caption "警告", warning icon.
void ShowWarning(QWidget *parent, const QString &text);

// The default report for an error no command caught: error icon, caption
// "Mirado", the error's text with the full-stop rule.
void ReportError(QWidget *parent, const std::exception &error);

// Runs a command so that no exception leaves it: an error ends the command
// at the failing step and goes to the default report.
template <typename Command> void RunGuarded(QWidget *parent, Command &&command)
{
    try {
        command();
    } catch (const std::exception &error) {
        ReportError(parent, error);
    }
}

} // namespace mirado
