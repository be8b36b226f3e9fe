#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

namespace loomara {

// A picture box: a rectangle in its back colour, optionally inside a 2-pixel sunken border,
// optionally showing an image inside the border, and a click. The second press of a double-click
// is not a click: a double-click clicks once.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBorderPixels = 2;

    explicit PictureBox(QWidget* parent = nullptr);

    QColor backColour() const { return backColour_; }
    void setBackColour(const QColor& colour);

    bool bordered() const { return bordered_; }
    void setBordered(bool bordered);

    // Drawn at the inner top-left corner, unscaled.
    const QImage& image() const { return image_; }
    void setImage(const QImage& image);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QColor backColour_;
    bool bordered_ = true;
    bool pressed_ = false;
    QImage image_;
};

} // namespace loomara
