#include "qxDBCtrls_DBNavigator.h"

#include "qxErrors.h"
#include "qxPrompter.h"
#include "qxUiFunctions.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionToolButton>
#include <QStylePainter>

using namespace Qt::StringLiterals;

namespace {

const char16_t* const kHints[TqxDBNavigator::ButtonCount] = {u"首记录", u"上一条", u"下一条", u"尾记录", u"插入",
                                                             u"删除",   u"编辑",   u"提交",   u"撤销",   u"刷新"};
const char* const kNames[TqxDBNavigator::ButtonCount] = {"First", "Prior", "Next", "Last", "Insert",
                                                         "Delete", "Edit", "Post", "Cancel", "Refresh"};
constexpr int kGlyph = 16;

} // namespace

// ---------------------------------------------------------------- button

void TqxNavButton::SetLayout(TButtonLayout layout)
{
    FLayout = layout;
    updateGeometry();
    update();
}

// Glyph and caption side by side or one above the other, with a gap between them.
TqxNavButton::TParts TqxNavButton::Parts() const
{
    TParts parts;
    parts.Glyph = icon().isNull() ? QSize(0, 0) : iconSize();
    parts.Words = text().isEmpty() ? QSize(0, 0) : fontMetrics().size(Qt::TextShowMnemonic, text());
    parts.Gap = parts.Words.isEmpty() || parts.Glyph.isEmpty() ? 0 : 2;
    if (FLayout == blGlyphTop || FLayout == blGlyphBottom)
        parts.Whole = QSize(std::max(parts.Words.width(), parts.Glyph.width()),
                            parts.Words.height() + parts.Gap + parts.Glyph.height());
    else
        parts.Whole = QSize(parts.Words.width() + parts.Gap + parts.Glyph.width(),
                            std::max(parts.Words.height(), parts.Glyph.height()));
    return parts;
}

QSize TqxNavButton::sizeHint() const
{
    return (Parts().Whole + QSize(8, 6)).expandedTo(QSize(23, 23));
}

void TqxNavButton::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    p.drawComplexControl(QStyle::CC_ToolButton, option);

    const TParts parts = Parts();
    const QSize& glyph = parts.Glyph;
    const QSize& words = parts.Words;
    const int gap = parts.Gap;
    QRect block(QPoint(0, 0), parts.Whole);
    block.moveCenter(rect().center());
    if (isDown())
        block.translate(1, 1);
    QRect glyphRect(QPoint(0, 0), glyph);
    QRect wordsRect(QPoint(0, 0), words);
    switch (FLayout) {
    case blGlyphLeft:
        glyphRect.moveTopLeft({block.left(), block.center().y() - glyph.height() / 2});
        wordsRect.moveTopLeft({block.left() + glyph.width() + gap, block.center().y() - words.height() / 2});
        break;
    case blGlyphRight:
        wordsRect.moveTopLeft({block.left(), block.center().y() - words.height() / 2});
        glyphRect.moveTopLeft({block.left() + words.width() + gap, block.center().y() - glyph.height() / 2});
        break;
    case blGlyphTop:
        glyphRect.moveTopLeft({block.center().x() - glyph.width() / 2, block.top()});
        wordsRect.moveTopLeft({block.center().x() - words.width() / 2, block.top() + glyph.height() + gap});
        break;
    case blGlyphBottom:
        wordsRect.moveTopLeft({block.center().x() - words.width() / 2, block.top()});
        glyphRect.moveTopLeft({block.center().x() - glyph.width() / 2, block.top() + words.height() + gap});
        break;
    }
    if (!glyph.isEmpty())
        icon().paint(&p, glyphRect, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    if (!words.isEmpty())
        p.drawItemText(wordsRect, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(), text(),
                       QPalette::ButtonText);
}

// ---------------------------------------------------------------- navigator

QIcon TqxDBNavigator::DefaultGlyph(TNavigateBtn which)
{
    QPixmap pixmap(kGlyph, kGlyph);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 128));
    const auto triangle = [&](int tipX, int baseX) {
        const QPointF pts[3] = {{qreal(tipX), 8}, {qreal(baseX), 3}, {qreal(baseX), 13}};
        p.drawPolygon(pts, 3);
    };
    switch (which) {
    case nbFirst:
        p.drawRect(3, 3, 2, 10);
        triangle(5, 12);
        break;
    case nbPrior:
        triangle(4, 11);
        break;
    case nbNext:
        triangle(12, 5);
        break;
    case nbLast:
        triangle(11, 4);
        p.drawRect(11, 3, 2, 10);
        break;
    case nbInsert:
        p.drawRect(3, 7, 10, 2);
        p.drawRect(7, 3, 2, 10);
        break;
    case nbDelete:
        p.drawRect(3, 7, 10, 2);
        break;
    case nbEdit: {
        const QPointF pts[3] = {{8, 3}, {13, 12}, {3, 12}};
        p.drawPolygon(pts, 3);
        break;
    }
    case nbPost:
        p.setPen(QPen(QColor(0, 128, 0), 2.2));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({{3, 8}, {7, 12}, {13, 4}}));
        break;
    case nbCancel:
        p.setPen(QPen(QColor(160, 0, 0), 2.2));
        p.drawLine(4, 4, 12, 12);
        p.drawLine(12, 4, 4, 12);
        break;
    case nbRefresh: {
        p.setPen(QPen(QColor(0, 0, 128), 2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 280 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 128));
        const QPointF pts[3] = {{9, 1}, {13, 4}, {9, 7}};
        p.drawPolygon(pts, 3);
        break;
    }
    }
    return QIcon(pixmap);
}

TqxDBNavigator::TqxDBNavigator(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < ButtonCount; ++i) {
        auto* b = new TqxNavButton(this);
        b->setObjectName(QString::fromLatin1(kNames[i]));
        b->setToolTip(QString::fromUtf16(kHints[i]));
        b->setFocusPolicy(Qt::NoFocus);
        b->setIconSize(QSize(kGlyph, kGlyph));
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        connect(b, &QToolButton::clicked, this, [this, i] { BtnClick(TNavigateBtn(i)); });
        layout->addWidget(b);
        FButtons[size_t(i)] = b;
    }
    resize(240, 25);
    LoadGlyphs();
    ApplyCaptions();
    EnableButtons();
}

TqxDBNavigator::~TqxDBNavigator()
{
    if (FDataSet)
        FDataSet->RemoveObserver(this);
}

void TqxDBNavigator::SetDataSource(TqxDataSource* source)
{
    if (source == FDataSource)
        return;
    if (FDataSource)
        FDataSource->disconnect(this);
    FDataSource = source;
    if (FDataSource) {
        connect(FDataSource, &TqxDataSource::DataSetAssigned, this, &TqxDBNavigator::DataSourceChanged);
        connect(FDataSource, &QObject::destroyed, this, [this] {
            if (FDataSet)
                FDataSet->RemoveObserver(this);
            DataSetDestroyed();
        });
    }
    DataSourceChanged();
}

void TqxDBNavigator::DataSourceChanged()
{
    TqxDataSet* ds = FDataSource ? FDataSource->DataSet() : nullptr;
    if (ds != FDataSet) {
        if (FDataSet)
            FDataSet->RemoveObserver(this);
        FDataSet = ds;
        if (FDataSet)
            FDataSet->AddObserver(this);
    }
    EnableButtons();
}

void TqxDBNavigator::DataSetDestroyed()
{
    FDataSet = nullptr;
    EnableButtons();
}

bool TqxDBNavigator::ButtonVisible(TNavigateBtn which) const { return !Button(which)->isHidden(); }

void TqxDBNavigator::SetVisibleButtons(const QList<TNavigateBtn>& buttons)
{
    for (int i = 0; i < ButtonCount; ++i)
        FButtons[size_t(i)]->setVisible(buttons.contains(TNavigateBtn(i)));
}

void TqxDBNavigator::SetLayout(TButtonLayout layout)
{
    FLayout = layout;
    for (TqxNavButton* b : FButtons)
        b->SetLayout(layout);
}

void TqxDBNavigator::SetCaptions(const QStringList& lines)
{
    FCaptions = lines;
    ApplyCaptions();
}

void TqxDBNavigator::SetShowCaptions(bool on)
{
    FShowCaptions = on;
    ApplyCaptions();
}

void TqxDBNavigator::ApplyCaptions()
{
    for (int i = 0; i < ButtonCount; ++i)
        FButtons[size_t(i)]->setText(FShowCaptions && i < FCaptions.size() ? FCaptions.at(i) : QString());
}

void TqxDBNavigator::SetImageList(const QList<QIcon>& images)
{
    FImageList = images;
    LoadGlyphs();
}

void TqxDBNavigator::SetNumGlyphs(int count)
{
    FNumGlyphs = count;
    LoadGlyphs();
}

void TqxDBNavigator::LoadGlyphs()
{
    for (int i = 0; i < ButtonCount; ++i) {
        const bool fromList = !FImageList.isEmpty();
        if (!fromList)
            FButtons[size_t(i)]->setIcon(DefaultGlyph(TNavigateBtn(i)));
        else if (i < FImageList.size())
            FButtons[size_t(i)]->setIcon(FImageList.at(i));
    }
}

void TqxDBNavigator::EnableButtons()
{
    const TqxDataSet* ds = FDataSet && FDataSet->Active() ? FDataSet : nullptr;
    const bool editing = ds && ds->Editing();
    const bool browsing = ds && !editing;
    const bool rows = ds && !ds->IsEmpty();
    const bool atFirst = !ds || ds->IsEmpty() || (ds->RecNo() <= 1 && ds->State() != TqxDataSetState::Insert);
    const bool atLast = !ds || ds->IsEmpty() || ds->RecNo() >= ds->RecordCount();
    const bool enabled[ButtonCount] = {!atFirst, !atFirst,          !atLast, !atLast, ds != nullptr,
                                       rows,     browsing && rows, editing, editing, browsing};
    for (int i = 0; i < ButtonCount; ++i)
        FButtons[size_t(i)]->setEnabled(enabled[i]);
}

void TqxDBNavigator::BtnClick(TNavigateBtn which)
{
    if (!FDataSet || !FDataSet->Active())
        return;
    TqxDataSet* ds = FDataSet;
    try {
        // What a grid is typing belongs to the row before the row is posted or left.
        if (FDataSource)
            FDataSource->UpdateRecord();
        switch (which) {
        case nbFirst:
            ds->First();
            break;
        case nbPrior:
            ds->Prior();
            break;
        case nbNext:
            ds->Next();
            break;
        case nbLast:
            ds->Last();
            break;
        case nbInsert:
            ds->Insert();
            break;
        case nbDelete:
            if (FConfirmDelete && ShowMessage(u"删除记录吗？"_s, u"确认"_s, TMsgIcon::Question, mbOK | mbCancel) != mbOK)
                return;
            ds->Delete();
            break;
        case nbEdit:
            ds->Edit();
            break;
        case nbPost:
            ds->Post();
            break;
        case nbCancel:
            ds->Cancel();
            break;
        case nbRefresh:
            ds->CheckBrowseMode();
            break;
        }
    } catch (const Exception& e) {
        ShowExceptionMessage(e.Message);
    }
    EnableButtons();
    Q_EMIT OnClick(which);
}
