// JPEG output of screen shots: the file is decoded again with libjpeg and
// checked for its format, size, quality tables and pixels.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "jpegwriter.h"
#include "screenshots.h"

using namespace orlex;

namespace {

struct TDecoded {
    bool Ok = false;
    bool Progressive = true;
    bool Jfif = false;
    int Components = 0;
    J_COLOR_SPACE ColorSpace = JCS_UNKNOWN;
    int Width = 0;
    int Height = 0;
    std::vector<uint16_t> Luma;    // quantisation table 0
    std::vector<uint16_t> Chroma;  // quantisation table 1
    std::vector<uint8_t> Rgb;
};

struct TErr {
    jpeg_error_mgr Mgr;
    std::jmp_buf Jump;
};
extern "C" void TestJpegErrorExit(j_common_ptr c) {
    std::longjmp(reinterpret_cast<TErr*>(c->err)->Jump, 1);
}

bool DecodeRaw(const std::vector<uint8_t>* data, TDecoded* out) {
    jpeg_decompress_struct d;
    TErr err;
    d.err = jpeg_std_error(&err.Mgr);
    err.Mgr.error_exit = TestJpegErrorExit;
    if (setjmp(err.Jump)) {
        jpeg_destroy_decompress(&d);
        return false;
    }
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, data->data(), static_cast<unsigned long>(data->size()));
    jpeg_read_header(&d, TRUE);
    out->Progressive = d.progressive_mode != 0;
    out->Jfif = d.saw_JFIF_marker != 0;
    out->Components = d.num_components;
    out->ColorSpace = d.jpeg_color_space;
    for (int t = 0; t < 2; ++t) {
        auto& dst = t == 0 ? out->Luma : out->Chroma;
        if (d.quant_tbl_ptrs[t])
            dst.assign(d.quant_tbl_ptrs[t]->quantval, d.quant_tbl_ptrs[t]->quantval + DCTSIZE2);
    }
    d.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d);
    out->Width = static_cast<int>(d.output_width);
    out->Height = static_cast<int>(d.output_height);
    out->Rgb.assign(static_cast<size_t>(out->Width) * out->Height * 3, 0);
    while (d.output_scanline < d.output_height) {
        JSAMPROW row = out->Rgb.data() + static_cast<size_t>(d.output_scanline) * out->Width * 3;
        jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return true;
}

TDecoded DecodeFile(const QString& path) {
    TDecoded result;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return result;
    const QByteArray bytes = f.readAll();
    const std::vector<uint8_t> data(bytes.begin(), bytes.end());
    result.Ok = DecodeRaw(&data, &result);
    return result;
}

// The tables libjpeg itself chooses for quality 90.
void ReferenceTables(std::vector<uint16_t>* luma, std::vector<uint16_t>* chroma) {
    jpeg_compress_struct c;
    jpeg_error_mgr e;
    c.err = jpeg_std_error(&e);
    jpeg_create_compress(&c);
    c.in_color_space = JCS_RGB;
    c.input_components = 3;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    luma->assign(c.quant_tbl_ptrs[0]->quantval, c.quant_tbl_ptrs[0]->quantval + DCTSIZE2);
    chroma->assign(c.quant_tbl_ptrs[1]->quantval, c.quant_tbl_ptrs[1]->quantval + DCTSIZE2);
    jpeg_destroy_compress(&c);
}

// Four flat quadrants: red, green, blue, white.
TRgbImage Quadrants(int w, int h) {
    TRgbImage img(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* p = img.Pixel(x, y);
            const int q = (y < h / 2 ? 0 : 2) + (x < w / 2 ? 0 : 1);
            const uint8_t colours[4][3] = {
                {220, 20, 20}, {20, 200, 30}, {30, 40, 210}, {250, 250, 250}};
            p[0] = colours[q][0];
            p[1] = colours[q][1];
            p[2] = colours[q][2];
        }
    }
    return img;
}

}  // namespace

class TestJpegWriter : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void formatAndQuality() {
        const QString file = dir_.filePath("q.jpg");
        QString why;
        QVERIFY2(WriteJpegFile(file, Quadrants(64, 48), &why), qPrintable(why));
        const TDecoded d = DecodeFile(file);
        QVERIFY(d.Ok);
        QVERIFY(!d.Progressive);
        QVERIFY(d.Jfif);
        QCOMPARE(d.Components, 3);
        QCOMPARE(d.ColorSpace, JCS_YCbCr);
        std::vector<uint16_t> luma, chroma;
        ReferenceTables(&luma, &chroma);
        QVERIFY(d.Luma == luma);
        QVERIFY(d.Chroma == chroma);
        // Not quality 75 by accident: the tables differ between the two.
        QVERIFY(luma[0] < 8);
    }

    // The output-size rule end to end: computed size, scaled, written, decoded.
    void writtenSizes_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("viewW");
        QTest::addColumn<int>("viewH");
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::newRow("50% of 1001x601") << 1 << 50 << 1001 << 601 << 500 << 300;
        QTest::newRow("width 640 on 1000x600") << 2 << 640 << 1000 << 600 << 640 << 384;
        QTest::newRow("height 300 on 1000x600") << 3 << 300 << 1000 << 600 << 500 << 300;
        QTest::newRow("0% is view size") << 1 << 0 << 321 << 123 << 321 << 123;
        QTest::newRow("width 0 is view size") << 2 << 0 << 321 << 123 << 321 << 123;
        QTest::newRow("150% enlarges") << 1 << 150 << 100 << 60 << 150 << 90;
    }
    void writtenSizes() {
        QFETCH(int, option);
        QFETCH(int, value);
        QFETCH(int, viewW);
        QFETCH(int, viewH);
        QFETCH(int, w);
        QFETCH(int, h);
        int cw = 0, ch = 0;
        ComputeShotSize(option, value, viewW, viewH, &cw, &ch);
        const QString file =
            dir_.filePath(QStringLiteral("size_%1.jpg").arg(QTest::currentDataTag()));
        QString why;
        QVERIFY2(WriteJpegFile(file, ScaleNearest(Quadrants(viewW, viewH), cw, ch), &why),
                 qPrintable(why));
        const TDecoded d = DecodeFile(file);
        QVERIFY(d.Ok);
        QCOMPARE(d.Width, w);
        QCOMPARE(d.Height, h);
    }

    void pixelsMatchSource() {
        const QString file = dir_.filePath("pixels.jpg");
        const TRgbImage src = Quadrants(200, 100);
        QVERIFY(WriteJpegFile(file, src, nullptr));
        const TDecoded d = DecodeFile(file);
        QVERIFY(d.Ok);
        const int points[][2] = {{50, 25}, {150, 25}, {50, 75}, {150, 75}, {5, 5}, {194, 94}};
        for (const auto& pt : points) {
            const uint8_t* s = src.Pixel(pt[0], pt[1]);
            const uint8_t* o = d.Rgb.data() + (static_cast<size_t>(pt[1]) * d.Width + pt[0]) * 3;
            for (int c = 0; c < 3; ++c) {
                QVERIFY2(std::abs(int(s[c]) - int(o[c])) <= 6,
                         qPrintable(QString("(%1,%2) channel %3: %4 vs %5")
                                        .arg(pt[0])
                                        .arg(pt[1])
                                        .arg(c)
                                        .arg(s[c])
                                        .arg(o[c])));
            }
        }
    }

    void nearestScaling() {
        // 4x2 source, each pixel its own value in the red channel.
        TRgbImage src(4, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) src.Pixel(x, y)[0] = static_cast<uint8_t>(10 * y + x);
        const TRgbImage down = ScaleNearest(src, 2, 1);  // keeps columns 0, 2 of row 0
        QCOMPARE(down.Width, 2);
        QCOMPARE(int(down.Pixel(0, 0)[0]), 0);
        QCOMPARE(int(down.Pixel(1, 0)[0]), 2);
        const TRgbImage up = ScaleNearest(src, 8, 4);  // doubles rows and columns
        const int expectRow3[] = {10, 10, 11, 11, 12, 12, 13, 13};
        for (int x = 0; x < 8; ++x) QCOMPARE(int(up.Pixel(x, 3)[0]), expectRow3[x]);
        QCOMPARE(int(up.Pixel(7, 0)[0]), 3);
        QVERIFY(!ScaleNearest(src, 0, 4).IsValid());
        QVERIFY(!ScaleNearest(TRgbImage(), 4, 4).IsValid());
    }

    void failuresAreReported_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("missing directory") << QString("nodir/sub/x.jpg");
        QTest::newRow("parent is a file") << QString("plain.txt/x.jpg");
        QTest::newRow("name is a directory") << QString("adir");
        QTest::newRow("empty name") << QString();
    }
    void failuresAreReported() {
        QFETCH(QString, target);
        QFile plain(dir_.filePath("plain.txt"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QDir(dir_.path()).mkpath("adir");
        const QString path = target.isEmpty() ? QString() : dir_.filePath(target);
        QString why;
        QVERIFY(!WriteJpegFile(path, Quadrants(8, 8), &why));
        QVERIFY(!why.isEmpty());
    }

    void fullDiskIsReported() {
        if (!QFile::exists("/dev/full")) QSKIP("no /dev/full here");
        QString why;
        QVERIFY(!WriteJpegFile("/dev/full", Quadrants(64, 64), &why));
        QVERIFY2(why.contains("full"), qPrintable(why));
        QVERIFY(QFile::exists("/dev/full"));
    }

    void fullDiskGivesTheSystemsReason() {
        if (!QFile::exists("/dev/full")) QSKIP("no /dev/full here");
        QString why;
        QVERIFY(!WriteJpegFile("/dev/full", Quadrants(64, 64), &why));
        QCOMPARE(why,
                 QString("Cannot write the file (is the disk full?): No space left on device"));
    }

    void refusesBadPictures() {
        QString why;
        QVERIFY(!WriteJpegFile(dir_.filePath("empty.jpg"), TRgbImage(), &why));
        QVERIFY(!QFile::exists(dir_.filePath("empty.jpg")));
        TRgbImage broken;
        broken.Width = 5000;
        broken.Height = 5000;  // pixels missing
        QVERIFY(!WriteJpegFile(dir_.filePath("broken.jpg"), broken, &why));
    }

    void writesNoOtherFile() {
        QTemporaryDir work;
        const QString old = QDir::currentPath();
        QDir::setCurrent(work.path());
        QVERIFY(WriteJpegFile(work.filePath("only.jpg"), Quadrants(32, 32), nullptr));
        QDir::setCurrent(old);
        QCOMPARE(QDir(work.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"only.jpg"});
    }
};

QTEST_GUILESS_MAIN(TestJpegWriter)
#include "test_jpegwriter.moc"
