#include <QTest>
class TestAnalysisExport : public QObject { Q_OBJECT };
QTEST_MAIN(TestAnalysisExport)
#include "test_analysisexport.moc"
