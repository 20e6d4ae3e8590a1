#include "HelperProcess.h"

#include <QElapsedTimer>

#include <csignal>

HelperProcess::HelperProcess(const QStringList &arguments)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(QM_RELIABILITY_HELPER), arguments);
}

HelperProcess::~HelperProcess()
{
    if (m_process.state() != QProcess::NotRunning)
        Kill();
}

bool HelperProcess::WaitReady(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!m_output.contains("READY\n")) {
        const int left = ms - int(clock.elapsed());
        if (left <= 0 || !m_process.waitForReadyRead(left))
            return m_output.contains("READY\n");
        m_output += m_process.readAllStandardOutput();
    }
    return true;
}

void HelperProcess::Send(const QByteArray &line)
{
    m_process.write(line + '\n');
    m_process.waitForBytesWritten(10000);
}

void HelperProcess::Kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    ::kill(pid_t(m_process.processId()), SIGKILL);
    m_process.waitForFinished(30000);
}

bool HelperProcess::WaitEnd(int ms)
{
    if (m_process.waitForFinished(ms) || m_process.state() == QProcess::NotRunning)
        return true;
    Kill();
    return false;
}

QStringList HelperProcess::Lines()
{
    m_output += m_process.readAllStandardOutput();
    QStringList lines = QString::fromUtf8(m_output).split(QLatin1Char('\n'));
    // A line cut short by the kill has no line break and does not count.
    lines.removeLast();
    return lines;
}

QStringList HelperProcess::Said(const QString &word)
{
    QStringList out;
    const QString prefix = word + QLatin1Char(' ');
    for (const QString &line : Lines())
        if (line.startsWith(prefix))
            out << line.mid(prefix.size());
    return out;
}
