#include "ui/PictureBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace loomara {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void PictureBox::setBackColour(const QColor& colour) {
    if (colour != backColour_) {
        backColour_ = colour;
        update();
    }
}

void PictureBox::setBordered(bool bordered) {
    if (bordered != bordered_) {
        bordered_ = bordered;
        update();
    }
}

void PictureBox::setImage(const QImage& image) {
    image_ = image;
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), backColour_);
    const int inset = bordered_ ? kBorderPixels : 0;
    if (!image_.isNull()) {
        p.drawImage(inset, inset, image_);
    }
    if (bordered_) {
        qDrawWinPanel(&p, rect(), palette(), true);
    }
}

// A click is a press and a release of the left button over the box, as with a button.
void PictureBox::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
}

// Left to the default, the second press of a double-click would be one more press, and a lock box
// that grew under the pointer on the first click would lock its slot again.
void PictureBox::mouseDoubleClickEvent(QMouseEvent*) {
    pressed_ = false;
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click) {
        emit clicked();
    }
}

} // namespace loomara
