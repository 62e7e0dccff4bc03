#pragma once

#include <QProcess>
#include <QStringList>
#include <QtTest>

// One vxsim process for the length of a test; started with its options, stopped at the end.
class SimProcess
{
public:
    explicit SimProcess(const QStringList& args)
    {
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStringLiteral(VXSIM), args);
    }
    ~SimProcess()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Waits until the simulator has printed `text` (its start-up report).
    bool waitFor(const QString& text)
    {
        QElapsedTimer t;
        t.start();
        while (!m_output.contains(text)) {
            if (t.elapsed() > 20000 || m_process.state() == QProcess::NotRunning)
                return false;
            m_process.waitForReadyRead(500);
            m_output += QString::fromLocal8Bit(m_process.readAll());
        }
        return true;
    }
    [[nodiscard]] QString output() const { return m_output; }

private:
    QProcess m_process;
    QString m_output;
};
