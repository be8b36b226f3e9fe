#pragma once

#include <QImage>
#include <QWidget>

namespace loomara {

// The cloth, one repeat tiled to fill the view from its top-left corner, each thread drawn as a
// block of screen pixels without smoothing. A cloth that no longer matches the field is greyed.
class ClothView final : public QWidget {
    Q_OBJECT
public:
    explicit ClothView(QWidget* parent = nullptr);

    // `pixelsPerThread` is in screen pixels: whole at every zoom, any size at true size.
    void show(const QImage& repeat, double pixelsPerThread, bool stale);
    const QImage& repeat() const { return repeat_; }

    QSize sizeHint() const override { return {640, 480}; }

signals:
    // After each paint that drew cloth.
    void painted();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage repeat_;
    double pixelsPerThread_ = 1;
    bool stale_ = false;
};

} // namespace loomara
