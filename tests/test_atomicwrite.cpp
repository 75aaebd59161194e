// Writing a preference file under fire: a child program rewrites both files in
// a loop and is killed with SIGKILL at random moments, hundreds of times.
// After every kill each file must hold a whole value in the written form, the
// old one or a newer one, never a truncated or empty file. The temporary
// files that killed writes leave behind must not disturb the next start.
// A write that runs out of disk or is given up leaves the old bytes.

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <sys/stat.h>

#include <thread>

#include "app/modulo1.h"
#include "fileio/safewrite.h"
#include "prefs/preferences.h"
#include "support.h"

using testing::Sandbox;
using testing::TinyDisk;

namespace {

[[maybe_unused]] const bool kPrivateMounts = testing::enterPrivateMounts();

constexpr int kKills = 300;
constexpr qint64 kTimeBudgetMs = 60000;

// The value a file holds when its bytes are exactly the written form of one.
std::optional<long long> wholeValue(const QByteArray& bytes) {
    const std::optional<long long> value = prefs::parseNumber(bytes);
    if (!value || prefs::formatNumber(*value) != bytes) {
        return std::nullopt;
    }
    return value;
}

QStringList leftovers() {
    return QDir()
        .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot)
        .filter(QRegularExpression(QStringLiteral("^(frmstart|rex)\\.dat.+")));
}

}  // namespace

class TestAtomicWrite : public QObject {
    Q_OBJECT

private slots:
    void killedWriterLeavesWholeValues() {
        Sandbox sandbox;
        QVERIFY(!prefs::writePreferenceFile(prefs::kResolutionFile, 0));
        QVERIFY(!prefs::writePreferenceFile(prefs::kStartupFile, 0));

        QRandomGenerator random(QRandomGenerator::global()->generate());
        long long lastRex = 0;
        int killedWhileWriting = 0;
        QElapsedTimer budget;
        budget.start();
        for (int kill = 0; kill < kKills; ++kill) {
            QProcess writer;
            writer.setWorkingDirectory(sandbox.path());
            writer.start(QStringLiteral(ZELVANO_PREFWRITER), {QString::number(lastRex + 1)});
            QVERIFY(writer.waitForStarted(5000));
            // Killing at once tests a writer that has barely begun; otherwise
            // it is killed somewhere inside its loop.
            if (random.bounded(4) != 0) {
                QVERIFY(writer.waitForReadyRead(5000));
                std::this_thread::sleep_for(std::chrono::microseconds(random.bounded(3000)));
            }
            writer.kill();
            QVERIFY(writer.waitForFinished(5000));
            QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
            killedWhileWriting += writer.readAllStandardOutput().startsWith("go") ? 1 : 0;

            const QByteArray rexBytes = Sandbox::read(prefs::kResolutionFile);
            const QByteArray startBytes = Sandbox::read(prefs::kStartupFile);
            const std::optional<long long> rex = wholeValue(rexBytes);
            const std::optional<long long> start = wholeValue(startBytes);
            QVERIFY2(rex, rexBytes.toHex(' ').constData());
            QVERIFY2(start, startBytes.toHex(' ').constData());
            QVERIFY2(*rex >= lastRex,
                     qPrintable(QStringLiteral("%1 after %2").arg(*rex).arg(lastRex)));
            QVERIFY(*start == 0 || *start == 1);
            lastRex = *rex;
            QVERIFY2(budget.elapsed() < kTimeBudgetMs, "the kills take too long");
        }
        // Most kills must have hit a writer in its loop, or the test proves little.
        QVERIFY2(killedWhileWriting > kKills / 2, qPrintable(QString::number(killedWhileWriting)));
        QVERIFY2(lastRex > kKills, qPrintable(QString::number(lastRex)));
        const QStringList left = leftovers();
        qInfo(
            "%d kills in %lld ms, %d inside the loop; rex.dat reached %lld; temporary files "
            "left: %lld %s",
            kKills, budget.elapsed(), killedWhileWriting, lastRex,
            static_cast<long long>(left.size()), qPrintable(left.join(QLatin1Char(' '))));
        // The start opens the window the files name, whatever lies beside them.
        Sandbox::write(prefs::kResolutionFile, prefs::formatNumber(2));
        toolkit::runGuarded([] { Modulo1::Main(); });
        QVERIFY(sandbox.boxes.shown.empty());
        QCOMPARE(toolkit::WindowRegistry::instance().loadedCount(), 1);
    }

    // Temporary files of interrupted writes beside the preference files are
    // ignored by the start and by the next writes.
    void leftoverTemporaryFilesAreIgnored() {
        Sandbox sandbox;
        Sandbox::write(prefs::kStartupFile, prefs::formatNumber(1));
        Sandbox::write(prefs::kResolutionFile, prefs::formatNumber(2));
        const QStringList junk = {QStringLiteral("rex.dat.aB1234"),
                                  QStringLiteral("frmstart.dat.Xy9876"),
                                  QStringLiteral("rex.dat.zz0000")};
        for (const QString& name : junk) {
            Sandbox::write(name, QByteArray(" 7"));  // cut off mid-write
        }
        toolkit::runGuarded([] { Modulo1::Main(); });
        QVERIFY(sandbox.boxes.shown.empty());
        QCOMPARE(toolkit::WindowRegistry::instance().loadedNames(),
                 QStringList{QStringLiteral("frm800")});
        QVERIFY(!prefs::writePreferenceFile(prefs::kResolutionFile, 0));
        QCOMPARE(Sandbox::read(prefs::kResolutionFile), prefs::formatNumber(0));
        for (const QString& name : junk) {
            QCOMPARE(Sandbox::read(name), QByteArray(" 7"));
        }
    }

    // A large output written in blocks onto a 64 KiB disk, or a write given up
    // before commit: the file keeps its old bytes and no temporary file
    // stays, whether it is replaced or, having a second name, rewritten in place.
    void outOfSpaceOrGivenUp_data() {
        QTest::addColumn<bool>("hardLinked");
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<int>("blocks");
        QTest::addColumn<bool>("commit");
        QTest::addColumn<bool>("works");
        const QByteArray big(8192, 'n');
        QTest::newRow("replaced, disk fills up") << false << big << 16 << true << false;
        QTest::newRow("in place, disk fills up") << true << big << 16 << true << false;
        QTest::newRow("replaced, given up") << false << big << 1 << false << false;
        QTest::newRow("in place, given up") << true << big << 1 << false << false;
        QTest::newRow("in place, shorter") << true << QByteArray("corto") << 1 << true << true;
    }
    void outOfSpaceOrGivenUp() {
        QFETCH(bool, hardLinked);
        QFETCH(QByteArray, block);
        QFETCH(int, blocks);
        QFETCH(bool, commit);
        QFETCH(bool, works);
        Sandbox sandbox;
        TinyDisk disk;
        if (!disk.mounted()) {
            QSKIP("mounting a small file system needs root");
        }
        const QByteArray old(3000, 'o');
        Sandbox::write("out.dat", old);
        std::set<QByteArray> names = {"out.dat"};
        if (hardLinked) {
            QVERIFY(link("out.dat", "out-link.dat") == 0);
            names.insert("out-link.dat");
        }
        {
            fileio::SafeFile file("out.dat");
            QVERIFY(file.open());
            QCOMPARE(file.inPlace(), hardLinked);
            bool written = true;
            for (int i = 0; i < blocks && written; ++i) {
                written = file.write(block);
            }
            if (written && commit) {
                written = file.commit();
            }
            QCOMPARE(written, works || !commit);
            if (!written) {
                QCOMPARE(file.error().kind, fileio::WriteError::Kind::DiskFull);
                QVERIFY(file.error().oldContentKept);
            }
        }
        QCOMPARE(Sandbox::read("out.dat"), works ? block : old);
        QCOMPARE(testing::entries(), names);
        if (hardLinked) {
            struct stat st {};
            QVERIFY(stat("out.dat", &st) == 0);
            QCOMPARE(st.st_nlink, nlink_t(2));
        }
    }
};

QTEST_MAIN(TestAtomicWrite)
#include "test_atomicwrite.moc"
