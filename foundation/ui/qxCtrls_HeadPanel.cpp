#include "qxCtrls_HeadPanel.h"

#include <QPainter>

TqxHeadPanel::TqxHeadPanel(QWidget* parent) : QWidget(parent)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);
    setAutoFillBackground(true);
}

void TqxHeadPanel::SetPicture(const QPixmap& picture)
{
    FPicture = picture;
    update();
}

void TqxHeadPanel::SetLabelLeftSide(int pixels)
{
    FLabelLeftSide = pixels;
    update();
}

void TqxHeadPanel::SetPictureLeftSide(int pixels)
{
    FPictureLeftSide = pixels;
    update();
}

void TqxHeadPanel::SetBevelColor(const QColor& color)
{
    FBevelColor = color;
    update();
}

void TqxHeadPanel::SetDescription(const QString& text)
{
    FDescription = text;
    repaint();
}

void TqxHeadPanel::SetDescAlign(TAlign align)
{
    FDescAlign = align;
    update();
}

void TqxHeadPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setFont(font());
    const int h = height();
    // Sizes in device-independent pixels, so the layout is the same on any screen.
    const QSize picture = FPicture.isNull() ? QSize() : FPicture.deviceIndependentSize().toSize();
    if (!FPicture.isNull())
        painter.drawPixmap(FPictureLeftSide, (h - picture.height() - 2) / 2, FPicture);
    if (!FDescription.isEmpty()) {
        const int textHeight = painter.fontMetrics().height();
        int y = (h - textHeight - 2) / 2;
        if (FDescAlign == alTop)
            y = 2;
        else if (FDescAlign == alBottom)
            y = h - textHeight - 2;
        const int x = picture.width() + FPictureLeftSide + FLabelLeftSide;
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRect(x, y, qMax(0, width() - x), textHeight), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         FDescription);
    }
    painter.setPen(FBevelColor);
    painter.drawLine(0, h - 2, width(), h - 2);
}
