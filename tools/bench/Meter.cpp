#include "Meter.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>

#include <malloc.h>

namespace {

double statusMb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray wanted = QByteArray(key) + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(wanted))
            return line.mid(wanted.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

bool resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

QString number(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

} // namespace

bool Meter::CanResetPeak()
{
    return resetPeak();
}

double Meter::ResidentMb()
{
    return statusMb("VmRSS");
}

Sample Meter::Measure(const std::function<void()> &op)
{
    // Memory freed by earlier operations goes back to the system first, as the program's
    // idle routine does, so that a run's peak is its own.
    malloc_trim(0);
    resetPeak();
    const double before = statusMb("VmRSS");
    QElapsedTimer timer;
    timer.start();
    op();
    Sample s;
    s.ms = timer.nsecsElapsed() / 1e6;
    s.peakMb = std::max(statusMb("VmHWM"), statusMb("VmRSS"));
    s.growthMb = std::max(0.0, s.peakMb - before);
    return s;
}

double Meter::Median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

QString Meter::Table(const QList<BenchRow> &rows)
{
    QString out = QStringLiteral(
        "| operation | program ms | floor ms | ratio | peak MB | growth MB | statements | runs "
        "| target |\n|---|---:|---:|---:|---:|---:|---:|---:|---|\n");
    for (const BenchRow &r : rows) {
        const bool floor = r.floorMs >= 0;
        out += QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 | %7 | %8 | %9 |\n")
                   .arg(r.operation, number(r.programMs, 1),
                        floor ? number(r.floorMs, 1) : QStringLiteral("–"),
                        floor && r.floorMs > 0 ? number(r.programMs / r.floorMs, 2)
                                               : QStringLiteral("–"),
                        number(r.peakMb, 0), number(r.growthMb, 0),
                        QString::number(r.statements), QString::number(r.runs), r.target);
    }
    return out;
}
