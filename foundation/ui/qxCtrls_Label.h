#pragma once
// A label that can be a link: a web address or a mail address opened with the
// desktop's handler when clicked, with a hover font and the hand cursor.

#include <QFont>
#include <QLabel>

enum TLabelUsed { luStatic, luHttp, luEmail, luScroll };

class TqxLabel : public QLabel {
    Q_OBJECT
public:
    explicit TqxLabel(QWidget* parent = nullptr);
    explicit TqxLabel(const QString& caption, QWidget* parent = nullptr);

    // The font shown while the mouse is over an active label.
    QFont StayFont() const { return FStayFont; }
    void SetStayFont(const QFont& font) { FStayFont = font; }
    TLabelUsed LabelUsed() const { return FLabelUsed; }
    void SetLabelUsed(TLabelUsed used) { FLabelUsed = used; }
    // The address to open; the caption when empty.
    QString UsedValue() const { return FUsedValue; }
    void SetUsedValue(const QString& value) { FUsedValue = value; }

Q_SIGNALS:
    void Clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QFont FStayFont;
    TLabelUsed FLabelUsed = luStatic;
    QString FUsedValue;
    bool FHovered = false;
    bool FOwnFontSet = false;
    QFont FOwnFont;
    bool FPressed = false;
};
