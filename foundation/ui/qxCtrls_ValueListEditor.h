#pragma once
// A two-column name/value grid: a title row, a key column in the fixed colour,
// values that may hold several lines, and per-row editing styles (free text,
// a pick list, or an ellipsis button the host answers).

#include <QColor>
#include <QFont>
#include <QTableWidget>

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TEditStyle { esSimple, esEllipsis, esPickList };

struct TItemProp {
    TEditStyle EditStyle = esSimple;
    QStringList PickList;
    bool ReadOnly = false;
};

class TqxValueListEditor : public QTableWidget {
    Q_OBJECT
public:
    explicit TqxValueListEditor(QWidget* parent = nullptr);

    QColor LineColor() const { return FLineColor; }
    void SetLineColor(const QColor& color);
    QFont KeyFont() const { return FKeyFont; }
    void SetKeyFont(const QFont& font);
    TAlignment KeyAlignment() const { return FKeyAlignment; }
    void SetKeyAlignment(TAlignment alignment);
    // Kept with the window's settings; it changes nothing.
    bool EnterToNext() const { return FEnterToNext; }
    void SetEnterToNext(bool on) { FEnterToNext = on; }

    bool ShowTitle() const;
    void SetShowTitle(bool show);
    void SetTitleCaptions(const QString& keyTitle, const QString& valueTitle);

    // The rows as "name=value" lines; a value may hold CR LF line breaks.
    QStringList Strings() const;
    void SetStrings(const QStringList& lines);
    int InsertRow(const QString& key, const QString& value);
    QString Key(int row) const;
    QString Value(int row) const;
    void SetValue(int row, const QString& value);
    // The first row whose key matches (Latin letters in any case); -1 when none.
    int FindRow(const QString& key) const;
    QString Values(const QString& key) const;

    TItemProp ItemProp(int row) const;
    void SetItemProp(int row, const TItemProp& prop);

Q_SIGNALS:
    // The ellipsis button of a row's value was pressed.
    void EditButtonClick(int row);

private:
    QColor FLineColor = Qt::black;
    QFont FKeyFont;
    TAlignment FKeyAlignment = taLeftJustify;
    bool FEnterToNext = false;
};
