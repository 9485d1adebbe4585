#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Minimal floor"));
    window.menuBar()->addMenu(QStringLiteral("File"));
    window.setCentralWidget(new QLabel(QStringLiteral("floor")));
    window.resize(640, 480);
    window.show();
    return app.exec();
}
