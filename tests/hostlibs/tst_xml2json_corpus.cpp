#include "XML2Json.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

class TestXml2JsonCorpus : public QObject
{
    Q_OBJECT

private slots:
    void corpusIsPresent();
    void replay_data();
    void replay();

private:
    static QFileInfoList corpusFiles();
};

QFileInfoList TestXml2JsonCorpus::corpusFiles()
{
    return QDir(QStringLiteral(XML2JSON_CORPUS_DIR)).entryInfoList(QDir::Files, QDir::Name);
}

void TestXml2JsonCorpus::corpusIsPresent()
{
    const QFileInfoList files = corpusFiles();
    QVERIFY2(files.size() >= 10, qPrintable(QStringLiteral("%1 files").arg(files.size())));
    for (const QFileInfo& file : files) {
        QVERIFY2(file.fileName().startsWith(QLatin1String("valid-"))
                     || file.fileName().startsWith(QLatin1String("invalid-")),
                 qPrintable(file.fileName()));
    }
}

void TestXml2JsonCorpus::replay_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("accepted");

    for (const QFileInfo& file : corpusFiles()) {
        QTest::newRow(qPrintable(file.fileName()))
            << file.filePath() << file.fileName().startsWith(QLatin1String("valid-"));
    }
}

void TestXml2JsonCorpus::replay()
{
    QFETCH(QString, path);
    QFETCH(bool, accepted);

    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    const QByteArray bytes = file.readAll();

    // Aborts on a tree of the wrong shape.
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                           static_cast<std::size_t>(bytes.size()));
    QCOMPARE(XML2Json().parse(QString::fromUtf8(bytes)).isValid(), accepted);
}

QTEST_GUILESS_MAIN(TestXml2JsonCorpus)
#include "tst_xml2json_corpus.moc"
