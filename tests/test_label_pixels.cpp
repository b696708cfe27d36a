// Label text where the player sees it: the play and results screens, drawn
// by the screenshot tool with its fixed random numbers, match reference
// images pixel for pixel, give or take the odd pixel of font hinting.
// Regenerate the references with tools/screenshots/update-test-references.
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A pixel counts as different when its grey level is off by more than this;
// hinting moves a glyph's edge pixels by less, or moves only a few of them.
constexpr int kGreyTolerance = 48;
// Different pixels allowed per screen: far fewer than the ink of one line
// of text, so a baseline a pixel or two off fails.
constexpr int kStrayPixels = 60;

QString referencePath(const QString& name)
{
    return qEnvironmentVariable("QUENNEL_SOURCE_DIR") + QStringLiteral("/tests/reference/") + name +
           QStringLiteral(".png");
}

QImage grey(const QImage& image)
{
    return image.convertToFormat(QImage::Format_Grayscale8);
}

}  // namespace

class LabelPixelsTest : public QObject {
    Q_OBJECT

private slots:
    // The screens' text sits where the references have it.
    void screensMatchTheirReferences()
    {
        QTemporaryDir out;
        QProcess tool;
        // A settings folder of its own, so no remembered choice reaches the pictures.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), out.filePath(QStringLiteral("config")));
        tool.setProcessEnvironment(env);
        tool.start(qEnvironmentVariable("QUENNEL_BINARY_DIR") + QStringLiteral("/tools/screenshots/quennel_screenshots"),
                   {qEnvironmentVariable("QUENNEL_SOURCE_DIR") + QStringLiteral("/game"), out.path(), QStringLiteral("1")});
        QVERIFY(tool.waitForFinished(120000));
        QCOMPARE(tool.exitCode(), 0);
        const bool update = !qEnvironmentVariableIsEmpty("QUENNEL_UPDATE_REFERENCES");
        for (const QString& name : {QStringLiteral("play"), QStringLiteral("results")}) {
            const QImage drawn = grey(QImage(out.filePath(name + QStringLiteral(".png"))));
            QVERIFY2(!drawn.isNull(), qPrintable(name));
            if (update)
                QVERIFY(drawn.save(referencePath(name)));
            const QImage reference(referencePath(name));
            QVERIFY2(!reference.isNull(), qPrintable(referencePath(name)));
            QCOMPARE(drawn.size(), reference.size());
            const QImage expected = grey(reference);
            int different = 0;
            for (int y = 0; y < drawn.height(); ++y) {
                const uchar* a = drawn.constScanLine(y);
                const uchar* b = expected.constScanLine(y);
                for (int x = 0; x < drawn.width(); ++x)
                    different += std::abs(int(a[x]) - int(b[x])) > kGreyTolerance ? 1 : 0;
            }
            qInfo("%s: %d pixels differ", qPrintable(name), different);
            QVERIFY2(different <= kStrayPixels, qPrintable(QStringLiteral("%1: %2 pixels differ").arg(name).arg(different)));
        }
    }
};

QTEST_GUILESS_MAIN(LabelPixelsTest)
#include "test_label_pixels.moc"
