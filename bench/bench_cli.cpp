// zelvano-cipher on a 256 MiB Italian prose file, from the page cache to
// /dev/null, side by side in one run with what a user would reach for
// instead: tr on the same bytes, and iconv from UTF-8 to Windows-1252. Each
// program runs several times in turn; the best time of each counts, since
// other work on the machine can only slow a run down. Also the filter's peak
// resident memory on 1 GiB of input (the file four times).

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cipher/cipher.h"
#include "targets.h"

extern char** environ;

namespace {

constexpr qint64 kSize = qint64{256} << 20;

// Prose with the accented letters, apostrophes, guillemets and line breaks
// of ordinary Italian, under two characters in a hundred outside ASCII.
const char* const kParagraphs[] = {
    "La mattina del primo giorno di primavera il paese si svegliò più presto del solito. Le "
    "finestre delle case si aprirono una dopo l'altra, e dalla piazza salì l'odore del pane "
    "appena sfornato.\n",
    "Il vecchio maestro, che aveva insegnato a leggere a tre generazioni di bambini, "
    "attraversò la strada con il suo cappello di feltro e salutò tutti per nome. «Buongiorno, "
    "signora Rosa! Com'è andata la notte?» chiese fermandosi davanti alla bottega.\n",
    "La donna sorrise e rispose che il vento aveva fatto sbattere le imposte fino all'alba, ma "
    "che ormai non ci faceva più caso.\n",
    "Più tardi, quando il sole fu alto sopra il campanile, i ragazzi corsero verso il fiume per "
    "vedere se l'acqua era già abbastanza calda per fare il bagno. Non lo era, naturalmente: "
    "era ancora marzo, e perfino le rane sembravano restie a lasciare il fango.\n",
    "Eppure nessuno tornò indietro. Sedettero sulla riva, tolsero le scarpe e immersero i "
    "piedi, gridando per il freddo e ridendo della propria audacia.\n",
    "Così passò la giornata, tra piccole imprese e lunghe chiacchiere, finché la sera non "
    "riportò tutti a casa, stanchi e felici, con la promessa di tornare l'indomani. Perché, "
    "dopotutto, la città era lontana e la vita lì scorreva lenta; ma proprio per questo ogni "
    "cosa, anche la più semplice, aveva un sapore che altrove si è perduto.\n",
};

// Writes the UTF-8 file and its Windows-1252 twin unless they are there:
// the same prose, 4 MiB blocks of it up to 256 MiB of UTF-8.
bool makeFiles(const QString& utf8Path, const QString& cp1252Path) {
    if (QFile(utf8Path).size() >= kSize && QFile(cp1252Path).size() > 0) {
        return true;
    }
    QByteArray block;
    for (int round = 0; block.size() < (qint64{4} << 20); ++round) {
        for (const char* paragraph : kParagraphs) {
            block += paragraph;
        }
        // A blank line now and then, as between chapters.
        if (round % 7 == 0) {
            block += '\n';
        }
    }
    QByteArray legacy;
    for (const QChar ch : QString::fromUtf8(block)) {
        legacy += static_cast<char>(*cipher::CharToCode(ch.unicode()));
    }
    QFile utf8(utf8Path);
    QFile cp1252(cp1252Path);
    if (!utf8.open(QIODevice::WriteOnly) || !cp1252.open(QIODevice::WriteOnly)) {
        return false;
    }
    for (qint64 written = 0; written < kSize; written += block.size()) {
        utf8.write(block);
        cp1252.write(legacy);
    }
    return utf8.error() == QFileDevice::NoError && cp1252.error() == QFileDevice::NoError;
}

struct Run {
    double seconds = bench::kMissing;  // wall clock, start to exit
    double cpuSeconds = bench::kMissing;
};

// Runs a program with standard input from a file (or none) and standard
// output to /dev/null; a failed run has no figures.
Run spawn(const std::vector<std::string>& argv, const std::string& input) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.empty() ? "/dev/null" : input.c_str(),
                                     O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        std::fprintf(stderr, "cannot start %s\n", args[0]);
        return run;
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (status %d)\n", args[0], status);
        return run;
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto toSeconds = [](timeval t) { return t.tv_sec + t.tv_usec / 1e6; };
    run.cpuSeconds = toSeconds(usage.ru_utime) + toSeconds(usage.ru_stime);
    return run;
}

void warm(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        while (!file.read(qint64{1} << 20).isEmpty()) {
        }
    }
}

struct Contender {
    std::string name;
    std::vector<std::string> argv;
    std::string input;  // standard input, or empty
    qint64 bytes = 0;   // input size, for the throughput
    std::vector<Run> runs;

    // The least of a figure over the runs that have it.
    double best(double Run::*field) const {
        double value = bench::kMissing;
        for (const Run& run : runs) {
            if (std::isnan(value) || run.*field < value) {
                value = run.*field;
            }
        }
        return value;
    }
    // MB/s by the best wall-clock time.
    double throughput() const { return bytes / best(&Run::seconds) / 1e6; }
    double cpuThroughput() const { return bytes / best(&Run::cpuSeconds) / 1e6; }
};

}  // namespace

int main(int argc, char** argv) {
    int rounds = 7;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--rounds=", 9) == 0 && std::atoi(argv[i] + 9) > 0) {
            rounds = std::atoi(argv[i] + 9);
        } else {
            std::fprintf(stderr, "usage: %s [--rounds=N]\n", argv[0]);
            return 2;
        }
    }
    const std::string filter = ZELVANO_CIPHER;
    const QString dir = QString::fromStdString(filter).section(u'/', 0, -2);
    const QString utf8Path = dir + QStringLiteral("/bench-cli-prose.utf8.txt");
    const QString cp1252Path = dir + QStringLiteral("/bench-cli-prose.cp1252.txt");
    if (!makeFiles(utf8Path, cp1252Path)) {
        std::fprintf(stderr, "cannot write the input files in %s\n", qPrintable(dir));
        return 1;
    }
    warm(utf8Path);
    warm(cp1252Path);
    const std::string utf8 = utf8Path.toStdString();
    const std::string cp1252 = cp1252Path.toStdString();
    const qint64 utf8Bytes = QFile(utf8Path).size();
    const qint64 cp1252Bytes = QFile(cp1252Path).size();
    const std::vector<std::string> tr = {"tr", "a-zA-Z", "n-za-mN-ZA-M"};

    std::vector<Contender> contenders = {
        {"tr, UTF-8 file", tr, utf8, utf8Bytes, {}},
        {"zelvano-cipher encrypt, UTF-8", {filter, "encrypt"}, utf8, utf8Bytes, {}},
        {"iconv -f utf-8 -t windows-1252",
         {"iconv", "-f", "utf-8", "-t", "windows-1252", utf8},
         "",
         utf8Bytes,
         {}},
        {"tr, Windows-1252 file", tr, cp1252, cp1252Bytes, {}},
        {"zelvano-cipher encrypt, Windows-1252",
         {filter, "encrypt", "--encoding", "windows-1252"},
         cp1252,
         cp1252Bytes,
         {}},
    };
    std::printf("input: %lld bytes UTF-8, %lld bytes Windows-1252; %d rounds\n",
                static_cast<long long>(utf8Bytes), static_cast<long long>(cp1252Bytes), rounds);
    for (int round = 0; round < rounds; ++round) {
        std::printf("round %d:", round + 1);
        for (Contender& contender : contenders) {
            contender.runs.push_back(spawn(contender.argv, contender.input));
            std::printf("  %.0f", contender.bytes / contender.runs.back().seconds / 1e6);
        }
        std::printf("  MB/s\n");
        std::fflush(stdout);
    }
    // 1 GiB through the filter: the file four times, as one text. The peak
    // comes from /usr/bin/time: a child spawned from this process would count
    // this process's own memory as its peak.
    const QString timeReport = dir + QStringLiteral("/bench-cli-peak.txt");
    QFile::remove(timeReport);
    spawn({"/usr/bin/time", "-f", "%M", "-o", timeReport.toStdString(), filter, "encrypt", utf8,
           utf8, utf8, utf8},
          "");
    double largePeakMiB = bench::kMissing;
    if (QFile report(timeReport); report.open(QIODevice::ReadOnly)) {
        bool ok = false;
        const double kib = report.readAll().trimmed().toDouble(&ok);
        largePeakMiB = ok ? kib / 1024.0 : bench::kMissing;
    }

    bench::Targets targets("cli");
    for (const Contender& contender : contenders) {
        targets.info(contender.name + ": best of " + std::to_string(rounds),
                     bench::number(contender.throughput(), 0) + " MB/s");
    }
    const Contender& trUtf8 = contenders[0];
    const Contender& filterUtf8 = contenders[1];
    const Contender& iconv = contenders[2];
    const Contender& trCp1252 = contenders[3];
    const Contender& filterCp1252 = contenders[4];
    targets.info(
        "the same by processor time: windows-1252 / tr",
        bench::number(bench::ratio(filterCp1252.cpuThroughput(), trCp1252.cpuThroughput())));
    targets.info("the same by processor time: utf-8 / tr",
                 bench::number(bench::ratio(filterUtf8.cpuThroughput(), trUtf8.cpuThroughput())));
    targets.info("peak resident memory on 1 GiB of input", bench::number(largePeakMiB, 1) + " MiB");
    targets.atLeast("throughput: windows-1252 / tr on the same bytes",
                    bench::ratio(filterCp1252.throughput(), trCp1252.throughput()), 1.0);
    targets.atLeast("throughput: utf-8 / tr on the same bytes",
                    bench::ratio(filterUtf8.throughput(), trUtf8.throughput()), 0.5);
    targets.atLeast("throughput: utf-8 / iconv",
                    bench::ratio(filterUtf8.throughput(), iconv.throughput()), 3.0);
    targets.below("peak resident memory on 1 GiB of input, MiB", largePeakMiB, 16.0);
    return targets.print();
}
