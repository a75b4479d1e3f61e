// The Picture1 diagram of ui/diagram.h, drawn with QPainter inside a sunken
// frame, in device pixels, so that it is sharp at any scale factor.
#pragma once

#include <QColor>
#include <QFrame>

namespace mervalin::qt {

class Picture final : public QFrame {
    Q_OBJECT

public:
    explicit Picture(QWidget* parent = nullptr);

    // The colours of the paper and the ink, the design's until given.
    void setColours(const QColor& paper, const QColor& ink);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor paper_;
    QColor ink_;
};

}  // namespace mervalin::qt
