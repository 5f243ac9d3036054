#include "pictures/PictureBox.h"

#include <QPainter>
#include <qdrawutil.h>

#include "pictures/PictureUnits.h"
#include "platform/ScreenMetrics.h"

PictureBox::PictureBox(QWidget *parent) : QWidget(parent)
{}

void PictureBox::setBorderStyle(int style)
{
    m_borderStyle = style ? 1 : 0;
    update();
}

int PictureBox::widthTwips() const
{
    return width() * ScreenMetrics::instance().twipsPerPixelX();
}

int PictureBox::heightTwips() const
{
    return height() * ScreenMetrics::instance().twipsPerPixelY();
}

void PictureBox::setSizeTwips(int width, int height)
{
    const QSize pixels = TwipsToPixels(QSize(width, height));
    resize(std::max(0, pixels.width()), std::max(0, pixels.height()));
}

QSize PictureBox::innerPixels() const
{
    return QSize(std::max(0, width() - 2 * border()), std::max(0, height() - 2 * border()));
}

// The inner size may be negative while the box is smaller than its border, so that growing
// the box by outer minus inner always leaves the wanted inner size.
int PictureBox::scaleWidth() const
{
    const int w = width() - 2 * border();
    return m_scaleMode == Pixels ? w : w * ScreenMetrics::instance().twipsPerPixelX();
}

int PictureBox::scaleHeight() const
{
    const int h = height() - 2 * border();
    return m_scaleMode == Pixels ? h : h * ScreenMetrics::instance().twipsPerPixelY();
}

void PictureBox::clearPicture()
{
    m_canvas = QImage();
    update();
}

void PictureBox::fitCanvas()
{
    const QSize inner = innerPixels();
    if (m_canvas.size() == inner)
        return;
    QImage canvas(inner, QImage::Format_RGB32);
    canvas.fill(palette().color(QPalette::Window));
    if (!m_canvas.isNull()) {
        QPainter p(&canvas);
        p.drawImage(0, 0, m_canvas);
    }
    m_canvas = canvas;
}

void PictureBox::paintPicture(const QImage &image, const QRect &source, const QSize &dest)
{
    fitCanvas();
    if (m_canvas.isNull() || image.isNull())
        return;
    QPainter p(&m_canvas);
    p.drawImage(QRect(QPoint(0, 0), dest), image, source);
    p.end();
    update();
}

QImage PictureBox::picture() const
{
    if (m_canvas.size() == innerPixels())
        return m_canvas;
    QImage copy(innerPixels(), QImage::Format_RGB32);
    copy.fill(palette().color(QPalette::Window));
    if (!m_canvas.isNull()) {
        QPainter p(&copy);
        p.drawImage(0, 0, m_canvas);
    }
    return copy;
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int b = border();
    if (b > 0)
        qDrawShadePanel(&p, rect(), palette(), true, b);
    const QRect inner(b, b, innerPixels().width(), innerPixels().height());
    p.fillRect(inner, palette().color(QPalette::Window));
    if (!m_canvas.isNull())
        p.drawImage(inner.topLeft(), m_canvas);
}
