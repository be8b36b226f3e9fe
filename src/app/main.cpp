#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Loomara"));
    window.resize(785, 638);
    window.show();
    return QApplication::exec();
}
