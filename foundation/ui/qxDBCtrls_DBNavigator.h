#pragma once
// The record navigator: ten buttons (first, prior, next, last, insert,
// delete, edit, post, cancel, refresh) over the table of a data source, with
// captions from a list of lines and glyphs from a list of images. Each button
// is enabled when its action makes sense for the table's position and state.

#include "qxDBCtrls_DataSource.h"

#include <QIcon>
#include <QPointer>
#include <QStringList>
#include <QToolButton>
#include <QWidget>
#include <array>

enum TNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A navigator button: its glyph beside, above or below its caption.
class TqxNavButton : public QToolButton {
    Q_OBJECT
public:
    explicit TqxNavButton(QWidget* parent = nullptr) : QToolButton(parent) {}

    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout layout);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct TParts {
        QSize Glyph, Words, Whole;
        int Gap = 0;
    };
    TParts Parts() const;

    TButtonLayout FLayout = blGlyphLeft;
};

class TqxDBNavigator : public QWidget, private TqxDataSetObserver {
    Q_OBJECT
public:
    static constexpr int ButtonCount = 10;

    explicit TqxDBNavigator(QWidget* parent = nullptr);
    ~TqxDBNavigator() override;

    TqxDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TqxDataSource* source);

    TqxNavButton* Button(TNavigateBtn which) const { return FButtons[size_t(which)]; }
    bool ButtonVisible(TNavigateBtn which) const;
    void SetVisibleButtons(const QList<TNavigateBtn>& buttons);

    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout layout);
    // Line i is the caption of button i; lines after the tenth are not used.
    const QStringList& Captions() const { return FCaptions; }
    void SetCaptions(const QStringList& lines);
    bool ShowCaptions() const { return FShowCaptions; }
    void SetShowCaptions(bool on);
    // Image i is the glyph of button i; an empty list gives back the navigator's own glyphs.
    const QList<QIcon>& ImageList() const { return FImageList; }
    void SetImageList(const QList<QIcon>& images);
    // Kept with the form; setting it reloads the glyphs, one image a button.
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int count);
    bool ConfirmDelete() const { return FConfirmDelete; }
    void SetConfirmDelete(bool on) { FConfirmDelete = on; }

    // Does what the button does.
    void BtnClick(TNavigateBtn which);

    // The navigator's own glyph of a button.
    static QIcon DefaultGlyph(TNavigateBtn which);

Q_SIGNALS:
    void OnClick(TNavigateBtn which);

private:
    void DataSetStateChanged() override { EnableButtons(); }
    void DataSetScrolled() override { EnableButtons(); }
    void DataSetChanged() override { EnableButtons(); }
    void DataSetRowInserted(int) override { EnableButtons(); }
    void DataSetRowRemoved(int) override { EnableButtons(); }
    void DataSetDestroyed() override;

    void DataSourceChanged();
    void ApplyCaptions();
    void LoadGlyphs();
    void EnableButtons();

    std::array<TqxNavButton*, ButtonCount> FButtons{};
    QPointer<TqxDataSource> FDataSource;
    TqxDataSet* FDataSet = nullptr;
    TButtonLayout FLayout = blGlyphLeft;
    QStringList FCaptions;
    bool FShowCaptions = false;
    QList<QIcon> FImageList;
    int FNumGlyphs = 1;
    bool FConfirmDelete = true;
};
