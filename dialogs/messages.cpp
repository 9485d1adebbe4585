// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages.h"

#include <QMessageBox>

#include "data/encoding.h"

namespace mirado {

namespace {

std::function<void(const Message &)> &MessageHandler()
{
    static std::function<void(const Message &)> handler;
    return handler;
}

} // namespace

void ShowMessage(QWidget *parent, const Message &message)
{
    if (const auto &handler = MessageHandler()) {
        handler(message);
        return;
    }
    QMessageBox box(message.icon == MessageIcon::Warning ? QMessageBox::Warning
                                                         : QMessageBox::Critical,
                    message.caption, message.text, QMessageBox::Ok, parent);
    box.exec();
}

void SetMessageHandlerForTesting(std::function<void(const Message &)> handler)
{
    MessageHandler() = std::move(handler);
}

QString ErrorText(const std::exception &error)
{
    return QString::fromStdString(ErrorTextForDisplay(error));
}

QString WithFullStop(const QString &text)
{
    if (!text.isEmpty() && text.back().unicode() > u'.')
        return text + u'.';
    return text;
}

void ShowWarning(QWidget *parent, const QString &text)
{
    ShowMessage(parent, {MessageIcon::Warning, kWarningCaption, text});
}

void ReportError(QWidget *parent, const std::exception &error)
{
    ShowMessage(parent, {MessageIcon::Error, kApplicationTitle, WithFullStop(ErrorText(error))});
}

} // namespace mirado
