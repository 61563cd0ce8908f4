#pragma once
// The print dialog as a seam: the preview asks through it which printer,
// pages and copies to use, so tests answer without a modal dialog.

class QPrinter;
class QWidget;

class TkvPrintChooser {
public:
    virtual ~TkvPrintChooser() = default;
    // Lets the user set up the printer for a document of pageCount pages.
    // True when the user confirmed; the printer then carries the choice.
    virtual bool ChoosePrinter(QPrinter& printer, int pageCount, QWidget* parent) = 0;
};

// The platform's print dialog (printer, page range, copies).
class TkvQtPrintChooser final : public TkvPrintChooser {
public:
    bool ChoosePrinter(QPrinter& printer, int pageCount, QWidget* parent) override;
};
