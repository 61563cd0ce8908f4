#include <QTest>
class TestQtPrompter : public QObject {
    Q_OBJECT
};
QTEST_MAIN(TestQtPrompter)
#include "tst_qtprompter.moc"
