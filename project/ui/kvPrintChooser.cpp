#include "kvPrintChooser.h"

#include <QPrintDialog>
#include <QPrinter>

bool TkvQtPrintChooser::ChoosePrinter(QPrinter& printer, int pageCount, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, pageCount);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    return dialog.exec() == QDialog::Accepted;
}
