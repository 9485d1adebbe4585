// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

#include "mainwindow/application.h"

using namespace mirado;

// Run on a Japanese desktop: the program's start loads Qt's translations.
class TranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetUpApplication(); }
    void qtTextsAreJapanese_data();
    void qtTextsAreJapanese();
    void openDialogIsJapanese();
    void unknownLanguageLoadsNothing();
};

void TranslationsTest::qtTextsAreJapanese_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("want");
    QTest::newRow("open dialog title") << "QFileDialog"
                                       << "Open" << QStringLiteral("開く");
    QTest::newRow("cancel button") << "QPlatformTheme"
                                   << "Cancel" << QStringLiteral("キャンセル");
    QTest::newRow("print dialog title") << "QPrintDialog"
                                        << "Print" << QStringLiteral("印刷");
}

void TranslationsTest::qtTextsAreJapanese()
{
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, want);
    QCOMPARE(QCoreApplication::translate(qPrintable(context), qPrintable(source)), want);
}

void TranslationsTest::openDialogIsJapanese()
{
    // Qt's own dialog, as the open command shows it without a native one.
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("開く"));
    auto *buttons = dialog.findChild<QDialogButtonBox *>();
    QVERIFY(buttons);
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
    QCOMPARE(buttons->button(QDialogButtonBox::Open)->text(), QStringLiteral("開く(&O)"));
}

void TranslationsTest::unknownLanguageLoadsNothing()
{
    QCOMPARE(InstallQtTranslations(QLocale(QLocale::Cherokee)), nullptr);
}

int main(int argc, char **argv)
{
    // A Japanese desktop, whatever the machine's own language.
    qputenv("LC_ALL", "ja_JP.UTF-8");
    qputenv("LANG", "ja_JP.UTF-8");
    qputenv("LANGUAGE", "ja");
    QApplication app(argc, argv);
    TranslationsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "translations_test.moc"
