// SPDX-License-Identifier: GPL-3.0-or-later
#include "application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "dialogs/about.h"
#include "dialogs/messages.h"
#include "dialogs/option.h"
#include "dialogs/preview.h"
#include "dialogs/select.h"
#include "mirado.h"
#include "platform/fonts.h"
#include "platform/singleinstance.h"

namespace mirado {

MiradoWindows::MiradoWindows() : frmMirado_(std::make_unique<TfrmMirado>())
{
    TfrmMirado *main = frmMirado_.get();
    frmSelect_ = new TfrmSelect(main, [main] { main->mnuPlotClick(); });
    frmAbout_ = new TfrmAbout(main);
    frmOption_ = new TfrmOption(main, *main);
    frmPreview_ = new TfrmPreview(main);
    main->setDialogs(frmSelect_, frmAbout_, frmOption_);
}

MiradoWindows::~MiradoWindows() = default;

QTranslator *InstallQtTranslations(const QLocale &locale)
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

void SetUpApplication()
{
    QApplication::setApplicationName(kApplicationTitle);
    InstallFontSubstitutions();
    // Qt's own texts (the file, print and page set-up dialogs, the standard
    // buttons) in the user's language.
    InstallQtTranslations(QLocale::system());
}

void ShowMainWindow(MiradoWindows &windows, const QStringList &arguments)
{
    windows.frmMirado().show();
    if (arguments.size() > 1)
        windows.frmMirado().OpenCatalogueFile(arguments.at(1));
}

int RunMirado(const QStringList &arguments)
{
    return RunMirado(arguments, UserLockFolders());
}

int RunMirado(const QStringList &arguments, const QStringList &lockFolders)
{
    const SingleInstance instance(kApplicationTitle, lockFolders);
    if (instance.state() == SingleInstance::State::HeldElsewhere) {
        ShowMessage(nullptr, {MessageIcon::Error, QStringLiteral("エラー"),
                              QStringLiteral("既に起動しています．")});
        return 0;
    }
    SetUpApplication();
    MiradoWindows windows;
    ShowMainWindow(windows, arguments);
    // Without a place for the lock the program still starts, and says once
    // that a second copy cannot be kept out.
    if (instance.state() == SingleInstance::State::Unavailable)
        ShowWarning(&windows.frmMirado(),
                    QStringLiteral("多重起動を防止できません（%1）．").arg(instance.problem()));
    return QApplication::exec();
}

} // namespace mirado
