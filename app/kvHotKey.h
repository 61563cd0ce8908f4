#pragma once
// A field that takes one shortcut key chord as it is pressed, the way the
// system's hot-key control does. A key without a modifier, or with Shift
// alone, is refused: it would steal a plain key from every edit. Backspace
// or Del on their own clear the field; Tab moves on as in any field.

#include <QKeySequence>
#include <QLineEdit>

class TkvHotKey : public QLineEdit {
    Q_OBJECT
public:
    explicit TkvHotKey(QWidget* parent = nullptr);

    QKeySequence HotKey() const { return FHotKey; }
    void SetHotKey(const QKeySequence& key);

    // Whether a chord would be taken: a named key with Ctrl or Alt held.
    static bool Acceptable(QKeyCombination key);

Q_SIGNALS:
    void HotKeyChanged();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QKeySequence FHotKey;
};
