// The Picture1 diagram of ui/diagram.h, drawn with QPainter inside a sunken
// frame, in device pixels, so that it is sharp at any scale factor.
#pragma once

#include <QFrame>

namespace mervalin::qt {

class Picture final : public QFrame {
    Q_OBJECT

public:
    explicit Picture(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace mervalin::qt
