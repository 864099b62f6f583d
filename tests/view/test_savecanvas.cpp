// The view's screen-shot capture: the current frame is drawn, read back at
// the view's size, scaled and written as a JPEG file.
#include <GL/gl.h>

#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

#include "glcontrol.h"

using namespace orlex;

namespace {

// A view whose scene is four flat quadrants; the top-left one has a settable colour.
class TQuadrantView : public TGLControl {
public:
    QColor TopLeft{255, 0, 0};

protected:
    void RenderScene() override {
        const int w = width() * devicePixelRatio();
        const int h = height() * devicePixelRatio();
        glEnable(GL_SCISSOR_TEST);
        const struct {
            int x, y;
            QColor c;
        } parts[] = {{0, h / 2, TopLeft},
                     {w / 2, h / 2, QColor(0, 255, 0)},
                     {0, 0, QColor(0, 0, 255)},
                     {w / 2, 0, QColor(255, 255, 255)}};
        for (const auto& p : parts) {
            glScissor(p.x, p.y, w / 2 + 1, h / 2 + 1);
            glClearColor(p.c.redF(), p.c.greenF(), p.c.blueF(), 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        glDisable(GL_SCISSOR_TEST);
    }
};

bool Near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 24 && std::abs(a.green() - b.green()) < 24 &&
           std::abs(a.blue() - b.blue()) < 24;
}

}  // namespace

class TestSaveCanvas : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::unique_ptr<TQuadrantView> view_;

private slots:
    void initTestCase() {
        if (!QImageReader::supportedImageFormats().contains("jpeg")) {
            QSKIP("no JPEG reader in this Qt");
        }
        view_ = std::make_unique<TQuadrantView>();
        view_->resize(200, 120);
        view_->show();
        QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
        if (!view_->HasContext()) QSKIP("no usable OpenGL context");
    }
    void cleanupTestCase() { view_.reset(); }

    void sizes_data() {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<QSize>("written");
        QTest::newRow("width 0: view size") << 0 << 0 << QSize(200, 120);
        QTest::newRow("half") << 100 << 60 << QSize(100, 60);
        QTest::newRow("enlarged") << 400 << 240 << QSize(400, 240);
        QTest::newRow("height 0: view size") << 50 << 0 << QSize(200, 120);
        QTest::newRow("negative: view size") << -4 << 30 << QSize(200, 120);
    }
    void sizes() {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(QSize, written);
        const QString file = dir_.filePath(QString("shot_%1.jpg").arg(QTest::currentDataTag()));
        QString why;
        QVERIFY2(view_->SaveCanvasToFile(file, w, h, &why), qPrintable(why));
        const QImage img(file);
        QVERIFY(!img.isNull());
        // The view may be backed by more pixels on a high-density screen.
        const qreal dpr = view_->devicePixelRatio();
        QCOMPARE(img.size(), w > 0 && h > 0 ? written : written * dpr);
        const int x1 = img.width() / 4, x2 = img.width() * 3 / 4;
        const int y1 = img.height() / 4, y2 = img.height() * 3 / 4;
        QVERIFY(Near(img.pixelColor(x1, y1), QColor(255, 0, 0)));
        QVERIFY(Near(img.pixelColor(x2, y1), QColor(0, 255, 0)));
        QVERIFY(Near(img.pixelColor(x1, y2), QColor(0, 0, 255)));
        QVERIFY(Near(img.pixelColor(x2, y2), QColor(255, 255, 255)));
    }

    void capturesTheCurrentFrame() {
        view_->TopLeft = QColor(255, 255, 0);  // no repaint requested
        const QString file = dir_.filePath("current.jpg");
        QVERIFY(view_->SaveCanvasToFile(file, 0, 0, nullptr));
        const QImage img(file);
        QVERIFY(Near(img.pixelColor(img.width() / 4, img.height() / 4), QColor(255, 255, 0)));
        view_->TopLeft = QColor(255, 0, 0);
    }

    void unwritableTargetReportsReason() {
        QString why;
        QVERIFY(!view_->SaveCanvasToFile(dir_.filePath("missing/dir/x.jpg"), 0, 0, &why));
        QVERIFY(!why.isEmpty());
        QVERIFY(!view_->SaveCanvasToFile(dir_.filePath("huge.jpg"), 70000, 10, &why));
        QVERIFY(!QFile::exists(dir_.filePath("huge.jpg")));
    }
};

QTEST_MAIN(TestSaveCanvas)
#include "test_savecanvas.moc"
