// A running copy of reliability_helper, for the tests: started with its arguments, waited
// for until it is ready, killed or waited for, and its lines read once it has ended.
#pragma once

#include <QProcess>
#include <QStringList>

class HelperProcess
{
public:
    explicit HelperProcess(const QStringList &arguments);
    ~HelperProcess();
    HelperProcess(const HelperProcess &) = delete;
    HelperProcess &operator=(const HelperProcess &) = delete;

    // Waits for its READY line; false when it ended or said nothing in time.
    bool WaitReady(int ms = 30000);
    // Writes a line to its standard input.
    void Send(const QByteArray &line);
    // Kills it at once, as a power cut or a crash would end it, and waits for the end.
    void Kill();
    // Waits for it to end by itself; false when it did not in time (it is then killed).
    bool WaitEnd(int ms);
    int ExitCode() const { return m_process.exitCode(); }
    // Every line it wrote (READY included), once it has ended.
    QStringList Lines();
    // The lines that start with the word, without the word.
    QStringList Said(const QString &word);

private:
    QProcess m_process;
    QByteArray m_output;
};
