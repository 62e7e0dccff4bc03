#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace vemro {

class VxTerminal;

// The control socket of vxsim: one text command per line, one answer per command
// ("OK ..." or "ERR ..."; "dump" and "display" send their text first). Commands:
//   key N | press N | release N          keypad (1..32)
//   analog V                             analog input 0..1023
//   port N V | port N release            drive / release the input pins of port 0..8
//   plugs on [STEP] | plugs off          production-test plugs
//   fault none | nak N | silent | garbage | checksum | drop N
//   reset | dump | display | quit | help
class VxControlServer : public QObject
{
    Q_OBJECT
public:
    explicit VxControlServer(VxTerminal* terminal, QObject* parent = nullptr);
    ~VxControlServer() override;

    [[nodiscard]] bool listen(const QString& path, QString* error);
    void setStateFile(const QString& path) { m_stateFile = path; }
    // Writes the state file (when one is set); false when it cannot be written.
    bool writeState() const;
    // Carries out one command line and returns the answer text (without final newline).
    [[nodiscard]] QString execute(const QString& line);

signals:
    void quitRequested();

private:
    void onConnection();
    void onReadyRead(QLocalSocket* socket);

    QPointer<VxTerminal> m_terminal;
    QLocalServer* m_server = nullptr;
    QString m_stateFile;
};

} // namespace vemro
