// The link's progress as kovr-cli draws it on a terminal: each counter the line shows belongs to
// the run in progress, so a technician never sees it jump back or through another maximum.

#include "cli/TerminalProgress.h"

#include <QTemporaryFile>
#include <QTest>

#include <cstdio>
#include <unistd.h>

class TestTerminalProgress : public QObject {
    Q_OBJECT
private slots:
    void countersOnlyMoveForward();
    void nothingOnAPipe();
};

namespace {

// The counters drawn, "n/m" each, in order; "" for a cleared line.
QStringList drawn(QTemporaryFile& file) {
    file.seek(0);
    QStringList frames;
    for (const QString& frame :
         QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\033[K"), Qt::SkipEmptyParts))
        frames.append(frame.section(QLatin1Char(' '), -1));
    return frames;
}

} // namespace

// A refresh of 86 records that ends with the link's reset, then a write of 3 items: what the
// link does through the progress interface.
void TestTerminalProgress::countersOnlyMoveForward() {
    QTemporaryFile file;
    QVERIFY(file.open());
    std::FILE* out = ::fdopen(::dup(file.handle()), "w");
    QVERIFY(out);
    {
        TerminalProgress terminal(out, true);
        ProgressSink& progress = terminal;
        terminal.setLabel(QStringLiteral("Reading"));
        progress.prepare(86);
        progress.show();
        for (int i = 1; i <= 86; ++i)
            progress.setPosition(progress.position() + 1);
        progress.resetAndClose();
        QCOMPARE(progress.maximum(), ProgressSink::IdleMaximum); // the link's end-of-refresh test
        terminal.setLabel(QStringLiteral("Writing"));
        progress.prepare(3);
        progress.show();
        for (int i = 1; i <= 3; ++i)
            progress.setPosition(i);
        progress.close();
    }
    std::fclose(out);

    const QStringList frames = drawn(file);
    QStringList expected;
    for (int i = 0; i <= 86; ++i)
        expected.append(QStringLiteral("%1/86").arg(i));
    for (int i = 0; i <= 3; ++i)
        expected.append(QStringLiteral("%1/3").arg(i));
    QCOMPARE(frames, expected);
}

// A script's log gets no progress at all.
void TestTerminalProgress::nothingOnAPipe() {
    QTemporaryFile file;
    QVERIFY(file.open());
    std::FILE* out = ::fdopen(::dup(file.handle()), "w");
    QVERIFY(out);
    {
        TerminalProgress pipe(out, false);
        pipe.prepare(86);
        pipe.show();
        pipe.setPosition(40);
        pipe.resetAndClose();
    }
    std::fclose(out);
    QCOMPARE(file.size(), 0);
}

QTEST_MAIN(TestTerminalProgress)
#include "tst_terminalprogress.moc"
