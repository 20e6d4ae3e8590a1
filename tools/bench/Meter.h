// Wall time and peak memory of one run of an operation, and the table the benchmark
// prints. Peak memory is the process's high-water mark of resident memory (VmHWM),
// reset before each run so that it belongs to that run alone.
#pragma once

#include <QList>
#include <QString>

#include <functional>

struct Sample
{
    double ms = 0;
    double peakMb = 0;     // resident high-water mark during the run
    double growthMb = 0;   // that mark less the resident size before the run
};

struct BenchRow
{
    QString operation;
    double programMs = 0;
    double floorMs = -1;   // negative: no floor
    double peakMb = 0;
    double growthMb = 0;
    int runs = 0;
    int statements = 0;
    QString target;        // "≤ 150 ms" and the like, with ok or MISSED
};

class Meter
{
public:
    // Runs op once and measures it.
    static Sample Measure(const std::function<void()> &op);
    // Whether the high-water mark can be reset (kernel and permissions allow it).
    static bool CanResetPeak();
    static double ResidentMb();

    static double Median(QList<double> values);
    // The whole table, in Markdown.
    static QString Table(const QList<BenchRow> &rows);
};
