#pragma once

#include "platform/LocalWait.h"

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QStringList>

namespace vemro::test {

// One vxsim process with a control socket, stopped at the end.
class Sim
{
public:
    Sim(const QStringList& args, const QString& control) : m_control(control)
    {
        m_process.setProgram(QStringLiteral(VXSIM_PATH));
        m_process.setArguments(args + QStringList{QStringLiteral("--control"), control});
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
    }
    ~Sim()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    Sim(const Sim&) = delete;
    Sim& operator=(const Sim&) = delete;

    bool waitReady(const QByteArray& line)
    {
        QElapsedTimer t;
        t.start();
        while (!m_said.contains(line) || !m_said.contains("Steuerung")) {
            if (t.elapsed() > 10000 || m_process.state() == QProcess::NotRunning)
                return false;
            m_process.waitForReadyRead(200);
            m_said += m_process.readAllStandardOutput();
        }
        return true;
    }

    // One control command; the answer up to its OK/ERR line.
    QByteArray control(const QByteArray& command)
    {
        QLocalSocket socket;
        socket.connectToServer(m_control);
        if (!socket.waitForConnected(2000))
            return {};
        socket.write(command + '\n');
        QByteArray answer;
        while (!answer.endsWith("OK\n") && !answer.contains("ERR")) {
            LocalWait wait;
            wait.wakeOn(&socket, &QLocalSocket::readyRead);
            if (!wait.run(std::chrono::milliseconds(3000)))
                break;
            answer += socket.readAll();
        }
        return answer;
    }
    bool bootloaderClosed() { return control("dump").contains("bootloader=0\n"); }

private:
    QProcess m_process;
    QString m_control;
    QByteArray m_said;
};

} // namespace vemro::test
