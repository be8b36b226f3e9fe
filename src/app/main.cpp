#include "io/FileSizeLimit.h"
#include "ui/Loomara.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>

int main(int argc, char** argv) {
    loomara::letWritesPastTheFileSizeLimitFail();
    QApplication app(argc, argv);
    loomara::Loomara window;
    window.adjustSize();
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                           window.screen()->availableGeometry()));
    window.show();
    return QApplication::exec();
}
