#include "ui/qt/picture.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <cmath>

#include "ui/diagram.h"
#include "ui/qt/text.h"

namespace mervalin::qt {

namespace {

QColor toQColor(layout::Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

QPointF toQPointF(diagram::Point point) { return QPointF(point.x, point.y); }

}  // namespace

Picture::Picture(QWidget* parent)
    : QFrame(parent),
      paper_(toQColor(layout::designed(diagram::kPaper))),
      ink_(toQColor(layout::designed(diagram::kInk))) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
}

void Picture::setColours(const QColor& paper, const QColor& ink) {
    paper_ = paper;
    ink_ = ink;
    update();
}

void Picture::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    const QRect area = contentsRect();
    const qreal ratio = devicePixelRatioF();
    const diagram::Drawing drawing = diagram::drawingAt(96 * ratio);

    QPainter painter(this);
    painter.fillRect(area, paper_);
    painter.setClipRect(area);
    // From here on in device pixels, with the drawing in the middle of the
    // area on whole pixels, so that the crisp parts stay crisp.
    painter.scale(1 / ratio, 1 / ratio);
    painter.translate(
        std::round(area.x() * ratio) + std::floor((area.width() * ratio - drawing.width) / 2),
        std::round(area.y() * ratio) + std::floor((area.height() * ratio - drawing.height) / 2));

    // Pixel for pixel: a cosmetic one-pixel pen without anti-aliasing
    // fills the pixel of each whole point it passes.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(ink_, 0));
    for (const diagram::Diagonal& line : drawing.hatching) {
        painter.drawLine(QPoint(line.x, line.y),
                         QPoint(line.x + line.length - 1, line.y - line.length + 1));
    }
    for (const diagram::Box& box : drawing.lines) {
        painter.fillRect(QRect(box.left, box.top, box.width, box.height), ink_);
    }

    painter.setRenderHint(QPainter::Antialiasing, true);
    const diagram::Circle& circle = drawing.outline;
    painter.setPen(QPen(ink_, circle.width));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(toQPointF(circle.centre), circle.radius, circle.radius);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink_);
    for (const auto& arrow : drawing.arrows) {
        painter.drawPolygon(
            QPolygonF({toQPointF(arrow[0]), toQPointF(arrow[1]), toQPointF(arrow[2])}));
    }

    const diagram::Text& label = drawing.label;
    QFont font(toQString(label.family));
    font.setItalic(label.italic);
    font.setPixelSize(static_cast<int>(std::lround(label.size)));
    painter.setFont(font);
    painter.setPen(ink_);
    const QString text = toQString(label.text);
    const qreal width = QFontMetricsF(font).horizontalAdvance(text);
    painter.drawText(QPointF(label.baseline.x - width / 2, label.baseline.y), text);
}

}  // namespace mervalin::qt
