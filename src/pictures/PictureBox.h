#pragma once

#include <QImage>
#include <QWidget>

// A picture box: a widget that keeps what was painted into it (its picture) and shows it inside
// an optional sunken border. Sizes are read and set in twips through the screen metrics; the
// scale mode is the unit its inner size is measured in.
class PictureBox : public QWidget
{
    Q_OBJECT
public:
    enum ScaleMode { Twips = 1, Pixels = 3 };
    static constexpr int BorderPixels = 2;

    explicit PictureBox(QWidget *parent = nullptr);

    // 0 no border, 1 a fixed single border.
    int borderStyle() const { return m_borderStyle; }
    void setBorderStyle(int style);
    int scaleMode() const { return m_scaleMode; }
    void setScaleMode(int mode) { m_scaleMode = mode; }

    // Outer size in twips.
    int widthTwips() const;
    int heightTwips() const;
    void setSizeTwips(int width, int height);
    // Inner size (inside the border) in the current scale mode.
    int scaleWidth() const;
    int scaleHeight() const;
    // Inner size in pixels.
    QSize innerPixels() const;

    // Erases the picture.
    void clearPicture();
    // Copies `source` of `image` stretched into the inner area at (0, 0) with size `dest`.
    void paintPicture(const QImage &image, const QRect &source, const QSize &dest);
    // What has been painted, the size of the inner area.
    QImage picture() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int border() const { return m_borderStyle ? BorderPixels : 0; }
    void fitCanvas();

    int m_borderStyle = 1;
    int m_scaleMode = Twips;
    QImage m_canvas;
};
