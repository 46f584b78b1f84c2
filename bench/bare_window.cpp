// The yardstick for start-up: a bare Qt window with one list, shown
// maximised, nothing else.
#include <QApplication>
#include <QListWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QListWidget window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.addItems({QStringLiteral("one"), QStringLiteral("two")});
    window.showMaximized();
    return app.exec();
}
